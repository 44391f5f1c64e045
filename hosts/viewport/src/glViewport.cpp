// The EGL surfaceless context and the draws that run a graph's GLSL.
#include "vp2host/glViewport.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/glcorearb.h>

#include <algorithm>
#include <cstring>

namespace vp2host {

namespace {

// Each sample is a pixel of an image this wide; each draw takes at most
// this many samples (the texture's rows).
constexpr int outputWidth = 256;
constexpr int samplesPerDraw = 16384;

std::string eglErrorText() {
    char text[32];
    std::snprintf(text, sizeof text, "EGL error 0x%04x", static_cast<unsigned>(eglGetError()));
    return text;
}

}  // namespace

// The GL functions used, found through EGL.
struct GlViewport::Impl {
    EGLDisplay display = EGL_NO_DISPLAY;
    EGLContext context = EGL_NO_CONTEXT;

#define LV_GL_FUNCTIONS(X)                                       \
    X(PFNGLGETSTRINGPROC, glGetString)                           \
    X(PFNGLGETERRORPROC, glGetError)                             \
    X(PFNGLCREATESHADERPROC, glCreateShader)                     \
    X(PFNGLSHADERSOURCEPROC, glShaderSource)                     \
    X(PFNGLCOMPILESHADERPROC, glCompileShader)                   \
    X(PFNGLGETSHADERIVPROC, glGetShaderiv)                       \
    X(PFNGLGETSHADERINFOLOGPROC, glGetShaderInfoLog)             \
    X(PFNGLDELETESHADERPROC, glDeleteShader)                     \
    X(PFNGLCREATEPROGRAMPROC, glCreateProgram)                   \
    X(PFNGLATTACHSHADERPROC, glAttachShader)                     \
    X(PFNGLBINDFRAGDATALOCATIONPROC, glBindFragDataLocation)     \
    X(PFNGLLINKPROGRAMPROC, glLinkProgram)                       \
    X(PFNGLGETPROGRAMIVPROC, glGetProgramiv)                     \
    X(PFNGLGETPROGRAMINFOLOGPROC, glGetProgramInfoLog)           \
    X(PFNGLDELETEPROGRAMPROC, glDeleteProgram)                   \
    X(PFNGLUSEPROGRAMPROC, glUseProgram)                         \
    X(PFNGLGETUNIFORMLOCATIONPROC, glGetUniformLocation)         \
    X(PFNGLUNIFORM1IPROC, glUniform1i)                           \
    X(PFNGLGENTEXTURESPROC, glGenTextures)                       \
    X(PFNGLDELETETEXTURESPROC, glDeleteTextures)                 \
    X(PFNGLBINDTEXTUREPROC, glBindTexture)                       \
    X(PFNGLACTIVETEXTUREPROC, glActiveTexture)                   \
    X(PFNGLTEXIMAGE2DPROC, glTexImage2D)                         \
    X(PFNGLTEXPARAMETERIPROC, glTexParameteri)                   \
    X(PFNGLPIXELSTOREIPROC, glPixelStorei)                       \
    X(PFNGLGENFRAMEBUFFERSPROC, glGenFramebuffers)               \
    X(PFNGLDELETEFRAMEBUFFERSPROC, glDeleteFramebuffers)         \
    X(PFNGLBINDFRAMEBUFFERPROC, glBindFramebuffer)               \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, glFramebufferTexture2D)     \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, glCheckFramebufferStatus) \
    X(PFNGLDRAWBUFFERSPROC, glDrawBuffers)                       \
    X(PFNGLREADBUFFERPROC, glReadBuffer)                         \
    X(PFNGLREADPIXELSPROC, glReadPixels)                         \
    X(PFNGLVIEWPORTPROC, glViewport)                             \
    X(PFNGLGENVERTEXARRAYSPROC, glGenVertexArrays)               \
    X(PFNGLDELETEVERTEXARRAYSPROC, glDeleteVertexArrays)         \
    X(PFNGLBINDVERTEXARRAYPROC, glBindVertexArray)               \
    X(PFNGLDRAWARRAYSPROC, glDrawArrays)                         \
    X(PFNGLFINISHPROC, glFinish)

#define LV_DECLARE(type, name) type name = nullptr;
    LV_GL_FUNCTIONS(LV_DECLARE)
#undef LV_DECLARE

    std::string linkedSource;
    GLuint linked = 0;
    unsigned int programFor(const GraphProgram& program);

    // Compiles one shader; 0 and the log when it does not compile.
    GLuint compile(GLenum stage, const std::string& source, std::string& log) {
        const GLuint shader = glCreateShader(stage);
        const char* text = source.c_str();
        glShaderSource(shader, 1, &text, nullptr);
        glCompileShader(shader);
        GLint ok = GL_FALSE;
        glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
        if (ok != GL_TRUE) {
            GLint length = 0;
            glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
            log.assign(static_cast<std::size_t>(std::max(length, 1)), '\0');
            glGetShaderInfoLog(shader, length, nullptr, log.data());
            log.resize(std::strlen(log.c_str()));
            if (log.empty()) {
                log = "the shader does not compile";
            }
            glDeleteShader(shader);
            return 0;
        }
        return shader;
    }
};

GlViewport::GlViewport() : impl_(std::make_unique<Impl>()) {
    Impl& g = *impl_;
    const auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        throw NoGlDevice("no EGL device: EGL has no eglGetPlatformDisplayEXT");
    }
    g.display = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    EGLint major = 0, minor = 0;
    if (g.display == EGL_NO_DISPLAY || eglInitialize(g.display, &major, &minor) != EGL_TRUE) {
        throw NoGlDevice("no EGL device: no surfaceless display (" + eglErrorText() +
                         "; Debian's libegl-mesa0 and libgl1-mesa-dri provide one)");
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        throw NoGlDevice("no EGL device: its display has no OpenGL (" + eglErrorText() + ")");
    }
    const EGLint attributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                 4,
                                 EGL_CONTEXT_MINOR_VERSION,
                                 1,
                                 EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                 EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                 EGL_NONE};
    g.context = eglCreateContext(g.display, EGL_NO_CONFIG_KHR, EGL_NO_CONTEXT, attributes);
    if (g.context == EGL_NO_CONTEXT ||
        eglMakeCurrent(g.display, EGL_NO_SURFACE, EGL_NO_SURFACE, g.context) != EGL_TRUE) {
        const std::string error = eglErrorText();
        if (g.context != EGL_NO_CONTEXT) {
            eglDestroyContext(g.display, g.context);
        }
        throw NoGlDevice("no EGL device: no OpenGL 4.1 core-profile context without a surface (" +
                         error + ")");
    }
#define LV_LOAD(type, name) g.name = reinterpret_cast<type>(eglGetProcAddress(#name));
    LV_GL_FUNCTIONS(LV_LOAD)
#undef LV_LOAD
#define LV_CHECK(type, name)                                                       \
    if (g.name == nullptr) {                                                       \
        eglMakeCurrent(g.display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT); \
        eglDestroyContext(g.display, g.context);                                   \
        throw NoGlDevice("no EGL device: OpenGL has no " #name);                   \
    }
    LV_GL_FUNCTIONS(LV_CHECK)
#undef LV_CHECK
}

GlViewport::~GlViewport() {
    if (impl_->linked != 0) {
        makeCurrent();
        impl_->glDeleteProgram(impl_->linked);
    }
    eglMakeCurrent(impl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(impl_->display, impl_->context);
    // The display is the process's one surfaceless display, which another
    // GlViewport may be drawing on: it stays initialised, with its driver
    // loaded, until the process ends.
}

void GlViewport::makeCurrent() {
    eglMakeCurrent(impl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, impl_->context);
}

void GlViewport::release() {
    eglMakeCurrent(impl_->display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
}

std::string GlViewport::renderer() const {
    const GLubyte* text = impl_->glGetString(GL_RENDERER);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

std::string GlViewport::compileFragmentShader(const std::string& source) {
    std::string log;
    const GLuint shader = impl_->compile(GL_FRAGMENT_SHADER, source, log);
    if (shader != 0) {
        impl_->glDeleteShader(shader);
    }
    return log;
}

// The program of the graph's GLSL and the harness's vertex shader, linked
// once for the last source asked for.
unsigned int GlViewport::Impl::programFor(const GraphProgram& program) {
    if (linked != 0 && linkedSource == program.source()) {
        return linked;
    }
    if (linked != 0) {
        glDeleteProgram(linked);
        linked = 0;
        linkedSource.clear();
    }
    Impl& g = *this;
    std::string log;
    const std::string vertexSource = "#version " + std::to_string(program.glslVersion()) +
                                     "\n"
                                     "void main() {\n"
                                     "    vec2 corner = vec2(float((gl_VertexID & 1) * 4 - 1),\n"
                                     "                       float((gl_VertexID & 2) * 2 - 1));\n"
                                     "    gl_Position = vec4(corner, 0.0, 1.0);\n"
                                     "}\n";
    const GLuint vertex = g.compile(GL_VERTEX_SHADER, vertexSource, log);
    if (vertex == 0) {
        throw std::runtime_error("the harness's vertex shader does not compile: " + log);
    }
    const GLuint fragment = g.compile(GL_FRAGMENT_SHADER, program.source(), log);
    if (fragment == 0) {
        g.glDeleteShader(vertex);
        throw std::runtime_error("the graph's GLSL does not compile: " + log);
    }
    linked = g.glCreateProgram();
    g.glAttachShader(linked, vertex);
    g.glAttachShader(linked, fragment);
    const char* outputs[] = {"lvColour", "lvTransparency", "lvPremultiplied", "lvSurfaceFinal"};
    for (GLuint i = 0; i < 4; ++i) {
        g.glBindFragDataLocation(linked, i, outputs[i]);
    }
    g.glLinkProgram(linked);
    g.glDeleteShader(vertex);
    g.glDeleteShader(fragment);
    GLint ok = GL_FALSE;
    g.glGetProgramiv(linked, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
        char text[4096] = {};
        g.glGetProgramInfoLog(linked, sizeof text, nullptr, text);
        g.glDeleteProgram(linked);
        linked = 0;
        throw std::runtime_error(std::string("the graph's GLSL does not link: ") + text);
    }
    linkedSource = program.source();
    return linked;
}

std::vector<SampleResult> GlViewport::run(const GraphProgram& program,
                                          std::span<const Sample> samples) {
    Impl& g = *impl_;
    const GLuint linked = g.programFor(program);

    const int inputs = static_cast<int>(program.sampleInputs().size());
    const int rowTexels = 1 + inputs + 3 * maxLights;
    GLuint textures[5] = {};
    g.glGenTextures(5, textures);
    GLuint framebuffer = 0, vertexArray = 0;
    g.glGenFramebuffers(1, &framebuffer);
    g.glGenVertexArrays(1, &vertexArray);
    g.glBindVertexArray(vertexArray);
    g.glUseProgram(linked);
    g.glUniform1i(g.glGetUniformLocation(linked, "lvSamples"), 0);
    g.glUniform1i(g.glGetUniformLocation(linked, "lvOutputWidth"), outputWidth);
    g.glUniform1i(g.glGetUniformLocation(linked, "lvLightBase"), 1 + inputs);
    g.glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    g.glPixelStorei(GL_PACK_ALIGNMENT, 4);

    std::vector<SampleResult> results;
    results.reserve(samples.size());
    std::vector<float> data;
    std::vector<float> pixels;
    for (std::size_t first = 0; first < samples.size(); first += samplesPerDraw) {
        const std::size_t count = std::min<std::size_t>(samplesPerDraw, samples.size() - first);
        data.assign(count * static_cast<std::size_t>(rowTexels) * 4, 0.0f);
        for (std::size_t s = 0; s < count; ++s) {
            const Sample& sample = samples[first + s];
            if (sample.inputs.size() != static_cast<std::size_t>(inputs) ||
                sample.lights.size() > static_cast<std::size_t>(maxLights)) {
                throw std::invalid_argument("a sample does not fit the program's inputs");
            }
            float* row = &data[s * static_cast<std::size_t>(rowTexels) * 4];
            row[0] = static_cast<float>(sample.lights.size());
            for (int i = 0; i < inputs; ++i) {
                std::copy_n(sample.inputs[static_cast<std::size_t>(i)].begin(), 3,
                            row + 4 * (1 + i));
            }
            for (std::size_t l = 0; l < sample.lights.size(); ++l) {
                float* texel = row + 4 * (1 + inputs + 3 * static_cast<int>(l));
                std::copy_n(sample.lights[l].direction.begin(), 3, texel);
                std::copy_n(sample.lights[l].diffuseI.begin(), 3, texel + 4);
                std::copy_n(sample.lights[l].specularI.begin(), 3, texel + 8);
            }
        }
        g.glActiveTexture(GL_TEXTURE0);
        g.glBindTexture(GL_TEXTURE_2D, textures[0]);
        g.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        g.glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        g.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, rowTexels, static_cast<GLsizei>(count), 0,
                       GL_RGBA, GL_FLOAT, data.data());
        g.glUniform1i(g.glGetUniformLocation(linked, "lvSampleCount"), static_cast<GLint>(count));

        const int height = static_cast<int>((count + outputWidth - 1) / outputWidth);
        g.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        for (int i = 0; i < 4; ++i) {
            g.glBindTexture(GL_TEXTURE_2D, textures[1 + i]);
            g.glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, outputWidth, height, 0, GL_RGBA, GL_FLOAT,
                           nullptr);
            g.glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0 + i, GL_TEXTURE_2D,
                                     textures[1 + i], 0);
        }
        g.glBindTexture(GL_TEXTURE_2D, textures[0]);
        const GLenum buffers[] = {GL_COLOR_ATTACHMENT0, GL_COLOR_ATTACHMENT1, GL_COLOR_ATTACHMENT2,
                                  GL_COLOR_ATTACHMENT3};
        g.glDrawBuffers(4, buffers);
        if (g.glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            throw std::runtime_error("the harness's float render targets are incomplete");
        }
        g.glViewport(0, 0, outputWidth, height);
        g.glDrawArrays(GL_TRIANGLES, 0, 3);

        const std::size_t first_result = results.size();
        results.resize(first_result + count);
        pixels.resize(static_cast<std::size_t>(outputWidth) * static_cast<std::size_t>(height) * 4);
        for (int i = 0; i < 4; ++i) {
            g.glReadBuffer(GL_COLOR_ATTACHMENT0 + i);
            g.glReadPixels(0, 0, outputWidth, height, GL_RGBA, GL_FLOAT, pixels.data());
            for (std::size_t s = 0; s < count; ++s) {
                const float* p = &pixels[s * 4];
                SampleResult& r = results[first_result + s];
                switch (i) {
                    case 0:
                        std::copy_n(p, 3, r.colour.begin());
                        break;
                    case 1:
                        std::copy_n(p, 3, r.transparency.begin());
                        break;
                    case 2:
                        std::copy_n(p, 3, r.premultiplied.begin());
                        break;
                    default:
                        std::copy_n(p, 4, r.surfaceFinal.begin());
                        break;
                }
            }
        }
    }
    const GLenum error = g.glGetError();
    g.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    g.glDeleteFramebuffers(1, &framebuffer);
    g.glDeleteVertexArrays(1, &vertexArray);
    g.glDeleteTextures(5, textures);
    if (error != GL_NO_ERROR) {
        throw std::runtime_error("OpenGL reported error " + std::to_string(error));
    }
    return results;
}

}  // namespace vp2host
