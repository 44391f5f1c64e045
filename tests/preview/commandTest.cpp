// The tool as a user runs it: exit status, the one-line error, the files.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "defaultFont.h"
#include "image.h"
#include "model/materialAttributes.h"

namespace {

struct CommandRun {
    int status = -1;
    std::string output;  // stdout and stderr together
};

CommandRun shell(const std::string& command) {
    CommandRun result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 512> buffer;
    while (std::fgets(buffer.data(), buffer.size(), pipe) != nullptr) {
        result.output += buffer.data();
    }
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

// Runs the tool through the shell, after `setup` if given.
CommandRun run(const std::string& arguments, const std::string& setup = "") {
    return shell(setup + LUMAVEIL_PREVIEW_PATH + " " + arguments + " 2>&1");
}

std::string contentOf(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

std::ptrdiff_t entriesIn(const std::filesystem::path& folder) {
    return std::distance(std::filesystem::directory_iterator(folder), {});
}

class PreviewCommand : public ::testing::Test {
protected:
    void SetUp() override {
        // This run's own: suites of other builds may run at the same time.
        folder_ = std::filesystem::temp_directory_path() /
                  (std::string("lumaveil-preview-command-") +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-" +
                   std::to_string(getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    std::string out(const char* stem) const { return (folder_ / stem).string(); }
    std::filesystem::path folder_;
};

// Whether a region of the PNG holds text: label pixels are far brighter than
// the backdrop.
bool holdsText(const lumaveil::preview::DisplayImage& png, int x0, int y0, int width, int height) {
    for (int y = y0; y < y0 + height; ++y) {
        for (int x = x0; x < x0 + width; ++x) {
            if (png.at(x, y)[1] > 200) {
                return true;
            }
        }
    }
    return false;
}

TEST_F(PreviewCommand, RendersEveryHostSideBySideOrOneAlone) {
    const CommandRun result = run("--size 128x96 --samples 1 --output " + out("swatch"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("384x96 image (1 material x 3 hosts), 1 samples/pixel"),
              std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("maya "), std::string::npos);
    EXPECT_NE(result.output.find("mentalray "), std::string::npos);
    EXPECT_NE(result.output.find("arnold "), std::string::npos);
    EXPECT_NE(result.output.find("filmic tone curve at +0 EV"), std::string::npos);
    EXPECT_NE(result.output.find("lumaveil-preview: the halves differ by design"),
              std::string::npos);
    const auto png = lumaveil::preview::readPng(out("swatch") + ".png");
    const auto exr = lumaveil::preview::readExr(out("swatch") + ".exr");
    EXPECT_EQ(png.width, 384);
    EXPECT_EQ(exr.width, 384);
    EXPECT_EQ(exr.height, 96);
    // Each half is labelled at its top-left corner.
    for (const int x : {0, 128, 256}) {
        EXPECT_TRUE(holdsText(png, x, 0, 64, 20)) << x;
    }

    const CommandRun alone = run("--host arnold --size 32 --samples 1 --output " + out("arnold"));
    ASSERT_EQ(alone.status, 0) << alone.output;
    EXPECT_NE(alone.output.find("32x32 image (1 material x 1 host), 1 samples/pixel"),
              std::string::npos)
        << alone.output;
    EXPECT_NE(alone.output.find("; arnold "), std::string::npos) << alone.output;
}

// Viewport 2.0's half, drawn by the plug-in's fragments on the GPU at hand
// (llvmpipe here) beside Maya's; where there is no EGL device, one line and
// status 2, and no picture.
TEST_F(PreviewCommand, ViewportHalfIsDrawnOnTheGpuOrRefusedInOneLine) {
    const CommandRun both =
        run("--host viewport,maya --preset skin1 --size 64 --samples 1 --output " + out("vp"));
    ASSERT_EQ(both.status, 0) << both.output;
    EXPECT_NE(both.output.find("128x64 image (1 material x 2 hosts)"), std::string::npos)
        << both.output;
    EXPECT_NE(both.output.find("the Viewport 2.0 half draws the plug-in's fragments"),
              std::string::npos)
        << both.output;
    // At the sphere's centre the two agree: no light there is shadowed.
    const auto exr = lumaveil::preview::readExr(out("vp") + ".exr");
    const auto maya = exr.at(32, 32), viewport = exr.at(96, 32);
    for (int k = 0; k < 3; ++k) {
        EXPECT_NEAR(viewport[k], maya[k], 0.01f * maya[k]) << k;
    }

    const CommandRun none = run("--host viewport --size 32 --output " + out("none"),
                                "__EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json ");
    EXPECT_EQ(none.status, 2) << none.output;
    EXPECT_TRUE(none.output.starts_with("lumaveil-preview: error: no EGL device: ")) << none.output;
    EXPECT_EQ(std::count(none.output.begin(), none.output.end(), '\n'), 1) << none.output;
    EXPECT_FALSE(std::filesystem::exists(out("none") + ".png"));
}

TEST_F(PreviewCommand, GridHasACellPerPreset) {
    const CommandRun result =
        run("--grid --host maya --size 8 --samples 1 --set dfst=1 --output " + out("grid.png"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_EQ(lumaveil::preview::readExr(out("grid") + ".exr").width, 4 * 8);
    EXPECT_EQ(lumaveil::preview::readExr(out("grid") + ".exr").height, 3 * 8);
}

// A sweep is a row of cells, one per step, each holding a swatch per host
// one above the other: the hosts are named once per row and each column is
// labelled with its value.
TEST_F(PreviewCommand, SweepIsARowOfStepsWithARowPerHost) {
    const CommandRun result =
        run("--sweep dfst=0:10:3 --size 96x120 --samples 1 --output " + out("strip"));
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("288x360 image (3 materials x 3 hosts)"), std::string::npos);
    EXPECT_NE(result.output.find("lumaveil-preview: " +
                                 std::string(lumaveil::materialAttributeNamed("dfst")->longName) +
                                 " from left to right: 0; 5; 10 (rows, top to bottom: maya, "
                                 "mentalray, arnold)\n"),
              std::string::npos)
        << result.output;
    const auto exr = lumaveil::preview::readExr(out("strip") + ".exr");
    const auto png = lumaveil::preview::readPng(out("strip") + ".png");
    ASSERT_EQ(exr.width, 288);
    ASSERT_EQ(exr.height, 360);
    // The glow grows left to right in every row, and more in mental ray's,
    // below Maya's.
    for (int column = 0; column < 3; ++column) {
        const int x = column * 96 + 48;
        if (column > 0) {
            const float maya = exr.at(x, 60).x - exr.at(x - 96, 60).x;
            const float mentalray = exr.at(x, 180).x - exr.at(x - 96, 180).x;
            const float arnold = exr.at(x, 300).x - exr.at(x - 96, 300).x;
            EXPECT_GT(maya, 0.0f) << column;
            EXPECT_GT(mentalray, maya) << column;
            EXPECT_GT(arnold, 0.0f) << column;
        }
        EXPECT_TRUE(holdsText(png, column * 96 + 30, 342, 36, 18)) << column;
    }
    for (const int y : {0, 120, 240}) {
        EXPECT_TRUE(holdsText(png, 0, y, 40, 16)) << y;
    }
    EXPECT_FALSE(holdsText(png, 96, 0, 40, 16));
}

// Everything that can be checked is, before a render that would take
// minutes: options, libraries and every file read, the output's folder and
// targets. Named pipes are refused unopened: a run that blocks on one ends
// in the time limit instead.
TEST_F(PreviewCommand, BadInputIsOneLineAndStatusTwoBeforeTheRender) {
    const std::filesystem::path libraries = folder_.string() + "-libraries";
    std::filesystem::create_directories(libraries);
    auto library = [&](const std::string& name, const std::string& from) {
        const std::string path = (libraries / name).string();
        std::filesystem::copy_file(from, path, std::filesystem::copy_options::overwrite_existing);
        return path;
    };
    // A library cut short as a failed copy leaves it: the loader would map
    // its missing pages and the first touch would end the tool with SIGBUS.
    const std::string cut = library("cut.so", LUMAVEIL_PLUGIN_PATH);
    std::filesystem::resize_file(cut, 5000);
    const std::string arm = library("arm.so", LUMAVEIL_PLUGIN_PATH);
    std::fstream(arm, std::ios::in | std::ios::out | std::ios::binary).seekp(18).put('\xb7');
    // Declarations that lay the record out otherwise: the shader would read
    // its lights from the wrong place, or black.
    const std::string declaration = contentOf(QV7K_DECLARATION_PATH);
    const std::size_t lights = declaration.find("array light");
    const std::size_t irradiance = declaration.rfind('\n', declaration.find("\"irradianceColor"));
    const std::string extra = library("extra.so", QV7K_SHADER_PATH);
    std::ofstream(libraries / "extra.mi")
        << std::string(declaration).insert(lights, "scalar \"x\", ");
    const std::string fewer = library("fewer.so", QV7K_SHADER_PATH);
    std::ofstream(libraries / "fewer.mi")
        << std::string(declaration)
               .erase(irradiance, declaration.find('\n', irradiance + 1) - irradiance);
    const std::string piped = library("piped.so", QV7K_SHADER_PATH);
    const std::string fifo = (libraries / "piped.mi").string();
    mkfifo(fifo.c_str(), 0600);
    const std::string lettered = library("lettered.so", QV7K_SHADER_PATH);
    std::string version = declaration;
    std::ofstream(libraries / "lettered.mi")
        << version.replace(version.find("version 1"), 9, "version abc");
    const std::string binary = library("binary.so", QV7K_SHADER_PATH);
    std::ofstream(libraries / "binary.mi") << declaration << "\x01\xfe\n";
    const std::string infinite = library("infinite.so", QV7K_SHADER_PATH);
    std::string defaults = declaration;
    const std::size_t firstDefault = defaults.find("default ") + 8;
    std::ofstream(libraries / "infinite.mi") << defaults.replace(
        firstDefault, defaults.find(' ', firstDefault) - firstDefault, "-Infinity");
    // An output that is an input by another name: a hard link to the font.
    const std::string font = library("font.ttf", lumaveil::preview::defaultFontPath());
    const std::string fontLink = (libraries / "font-link").string();
    std::filesystem::create_hard_link(font, fontLink + ".exr");
    const std::string text = (libraries / "text.ttf").string();
    std::ofstream(text) << "not a font\n";
    const std::string loop = (libraries / "loop.so").string();
    std::filesystem::create_symlink(loop, loop);
    std::filesystem::create_directories(folder_ / "sub");
    std::filesystem::create_directories(folder_ / "dir.png");
    std::filesystem::create_directory_symlink(folder_ / "sub", folder_ / "linked.png");
    std::ofstream(out("file")) << "a file";
    const std::string longName = out(std::string(252, 'n').c_str());
    // Arnold libraries that are not the lumaVeil shader, and one that is,
    // named as the output would be.
    const std::string empty = (libraries / "empty.so").string();
    std::ofstream{empty};
    const std::string arnoldOutput = library("arnold.exr", LUMAVEIL_ARNOLD_SHADER_PATH);
    // The attribute with a hard minimum, by its long name.
    const std::string bounded(
        std::find_if(lumaveil::materialAttributes.begin(), lumaveil::materialAttributes.end(),
                     [](const lumaveil::MaterialAttribute& a) { return a.hardMin.has_value(); })
            ->longName);
    const struct {
        std::string arguments;
        std::string message;
    } cases[] = {
        {"--set colr=1", "error: unknown attribute 'colr'; did you mean 'color'"},
        {"--set color=1,2", "error: color takes one number or three (r,g,b), not 2"},
        {"--set dfl=x", "error: diffuse: 'x' is not a finite number"},
        {"--set rfi=0.5", "error: " + bounded + " must be at least 1, the node's hard minimum"},
        {"--preset jelly", "error: unknown preset 'jelly'"},
        {"--grid --preset skin1", "error: --grid renders every preset and takes no --preset"},
        {"--grid --size 8192", "error: the image would be 98304x24576 pixels"},
        {"--sweep rfi=0.5:2:4", "error: " + bounded + " must be at least 1, the node's hard"},
        {"--font /nonexistent/font.ttf", "error: cannot read the font /nonexistent/font.ttf: "},
        {"--font " + fifo, "error: cannot read the font " + fifo +
                               ": it is a named pipe (FIFO), not a regular file\n"},
        {"--font " + text, "error: cannot read the font " + text + ": it is not a font file"},
        {"--host mentalray --shader " + piped,
         "error: cannot load the renderer shader " + piped + ": its declaration " + fifo +
             ": it is a named pipe (FIFO), not a regular file\n"},
        {"--shader " + lettered, ".mi: the version must be a whole number, not 'abc'\n"},
        {"--shader " + binary, "binary.mi: it is not text (byte "},
        {"--plugin " + loop,
         "error: cannot load the Maya plug-in " + loop + ": its symbolic links form a loop\n"},
        {"--plugin ''", "error: --plugin needs a path\n"},
        {"--plugin /nonexistent/lumaVeil.so",
         "error: cannot load the Maya plug-in /nonexistent/lumaVeil.so: no such file"},
        {"--host mentalray --shader /nonexistent/qv7k_lumaVeil.so",
         "error: cannot load the renderer shader /nonexistent/qv7k_lumaVeil.so: no such file"},
        {"--plugin " + cut, "error: cannot load the Maya plug-in " + cut +
                                ": the file is cut short: a loaded segment ends at byte"},
        {"--shader " + cut, "error: cannot load the renderer shader " + cut + ": the file is cut"},
        {"--renderer " + cut,
         "error: cannot load the renderer module " + cut + ": the file is cut"},
        {"--shader " + libraries.string(),
         "error: cannot load the renderer shader " + libraries.string() + ": it is a folder"},
        {"--plugin " + arm,
         "error: cannot load the Maya plug-in " + arm + ": it is built for aarch64 (ELF 64-bit)"},
        {"--plugin " + std::string(QV7K_SHADER_PATH),
         ": it does not export MApiVersion, initializePlugin and uninitializePlugin, the entry "
         "points of a Maya plug-in\n"},
        {"--renderer " + std::string(LUMAVEIL_PLUGIN_PATH),
         ": it does not export mi_sample_light, mi_compute_irradiance and mi_phen_eval, the "
         "renderer functions the shader binds to\n"},
        {"--renderer " + std::string(NO_EXPORTS_LIBRARY_PATH),
         ": it does not export mi_sample_light, mi_compute_irradiance and mi_phen_eval, the "
         "renderer functions the shader binds to\n"},
        {"--shader " + extra, "error: cannot load the renderer shader " + extra +
                                  ": its declaration " + (libraries / "extra.mi").string() +
                                  " does not match the parameters the shader reads: parameter "
                                  "18 is scalar \"x\" where the shader reads array light "
                                  "\"light\"\n"},
        {"--shader " + fewer,
         "parameter 17 is array light \"light\" where the shader reads "
         "color \"irradianceColor\"\n"},
        {"--output " + out("nowhere/sheet"), "error: cannot write " + out("nowhere/sheet") +
                                                 ".png: the folder '" + out("nowhere") +
                                                 "' does not exist\n"},
        {"--output " + out("file/sheet"), "error: cannot write " + out("file/sheet") + ".png: '" +
                                              out("file") + "' is not a folder\n"},
        {"--output " + out("dir"), "error: cannot write " + out("dir.png") + ": it is a folder\n"},
        {"--output " + out("linked"),
         "error: cannot write " + out("linked.png") + ": it is a link to a folder\n"},
        {"--output " + longName, ".png: its name is 256 bytes long; the folder '" +
                                     folder_.string() + "' takes names of at most 255\n"},
        {"--output " + out("sub") + "/", "names a folder"},
        {"--output .", "names a folder"},
        {"--font " + font + " --output " + fontLink, "error: cannot write " + fontLink +
                                                         ".exr: it is the font " + font +
                                                         ", which this run reads\n"},
        {"--shader " + infinite, "infinite.mi: bad default value -Infinity\n"},
        {"--arnold-shader /nonexistent/lumaVeilArnold.so",
         "error: cannot load the Arnold shader /nonexistent/lumaVeilArnold.so: no such file"},
        {"--arnold-shader " + empty,
         "error: cannot load the Arnold shader " + empty + ": it is empty\n"},
        {"--arnold-shader " + text, ": not a shared library (no ELF or PE header)\n"},
        {"--arnold-shader " + std::string(NO_EXPORTS_LIBRARY_PATH),
         ": it does not export NodeLoader, the entry point of an Arnold shader library\n"},
        {"--arnold-shader " + std::string(OTHER_ARNOLD_NODE_PATH),
         ": it gives the node \"otherShader\", not \"lumaVeil\"\n"},
        {"--arnold-shader " + std::string(RUNAWAY_LOADER_PATH),
         "error: cannot load the Arnold shader " + std::string(RUNAWAY_LOADER_PATH) +
             ": its NodeLoader gives more than 4096 nodes and no end of them\n"},
        {"--host arnold --arnold-shader " + fifo,
         "error: cannot load the Arnold shader " + fifo +
             ": it is a named pipe (FIFO), not a regular file\n"},
        {"--arnold-shader " + arnoldOutput + " --output " + (libraries / "arnold").string(),
         ".exr: it is the Arnold shader " + arnoldOutput + ", which this run reads\n"},
        // What shows nothing or breaks the line is spelled out.
        {"--preset '\xef\xbb\xbfskin1'", "error: unknown preset '<U+FEFF>skin1'"},
        {"--output '" + out("no\nwhere/x") + "'",
         "error: cannot write " + out("no\\nwhere/x") + ".png: the folder"},
    };
    for (const auto& c : cases) {
        // A render that would take minutes, unless the case gives its own size.
        const std::string size =
            c.arguments.find("--size") == std::string::npos ? "--size 2048 " : "";
        const std::string output =
            c.arguments.find("--output") == std::string::npos ? " --output " + out("never") : "";
        const CommandRun result = run(size + "--samples 64 " + c.arguments + output, "timeout 60 ");
        EXPECT_EQ(result.status, 2) << c.arguments;
        EXPECT_NE(result.output.find("lumaveil-preview: "), std::string::npos) << result.output;
        EXPECT_NE(result.output.find(c.message), std::string::npos)
            << c.arguments << " gave: " << result.output;
        EXPECT_EQ(result.output.find('\n'), result.output.size() - 1) << result.output;
    }
    EXPECT_EQ(contentOf(font), contentOf(lumaveil::preview::defaultFontPath()));
    std::filesystem::remove_all(libraries);
    EXPECT_EQ(entriesIn(folder_), 4);  // sub, dir.png, linked.png and file: nothing written
}

// On a terminal the progress bar follows rows that the rendering threads
// finish in any order; it never ends the render.
TEST_F(PreviewCommand, ProgressOnATerminalLeavesTheRenderAlone) {
    const CommandRun result = shell("script -qec '" + std::string(LUMAVEIL_PREVIEW_PATH) +
                                    " --grid --size 32 --samples 1 --threads 4 --output " +
                                    out("tty") + "' /dev/null 2>&1");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("100%"), std::string::npos) << result.output;
    EXPECT_TRUE(std::filesystem::exists(out("tty") + ".png"));
}

// Where a limit on processes or threads lets fewer rendering threads start
// than asked for, those that started render the image, and a note says so.
TEST_F(PreviewCommand, RendersWithTheThreadsThatCouldStart) {
    const CommandRun result = run("--size 16 --samples 1 --threads 4 --output " + out("few"),
                                  "LD_PRELOAD=" THREAD_LIMIT_PATH
                                  " LUMAVEIL_THREADS_ALLOWED=1 "
                                  "ASAN_OPTIONS=$ASAN_OPTIONS:verify_asan_link_order=0 ");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("lumaveil-preview: note: only 2 of 4 rendering threads could be "
                                 "started (a limit on processes or threads)"),
              std::string::npos)
        << result.output;
    EXPECT_EQ(lumaveil::preview::readExr(out("few") + ".exr").width, 3 * 16);
    EXPECT_EQ(entriesIn(folder_), 2);
}

// The summary stays one line whatever the output's name holds.
TEST_F(PreviewCommand, SummaryNamesTheOutputVisibly) {
    const CommandRun result =
        run("--host maya --size 8 --samples 1 --output '" + out("\xef\xbb\xbftwo\nlines") + "'");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("; wrote " + out("<U+FEFF>two\\nlines") + ".png and "),
              std::string::npos)
        << result.output;
    EXPECT_TRUE(std::filesystem::exists(out("\xef\xbb\xbftwo\nlines") + ".png"));
}

// Whether every channel of every pixel is finite and not below 0.
bool displayable(const lumaveil::preview::Image& image) {
    return std::all_of(image.pixels.begin(), image.pixels.end(),
                       [](const lumaveil::FloatVector& p) {
                           return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z) &&
                                  p.x >= 0.0f && p.y >= 0.0f && p.z >= 0.0f;
                       });
}

// Values that overflow are held in both images at the largest float; the
// tool says how many pixels, once, and still writes both files. Started with
// its standard output and error closed, it writes them nowhere, and the files
// hold only the image.
TEST_F(PreviewCommand, OverflowingPixelsAreHeldWithOneWarning) {
    const CommandRun result = run("--set color=1e38 --size 16 --output " + out("hot"));
    EXPECT_EQ(result.status, 0) << result.output;
    const std::size_t warning = result.output.find("lumaveil-preview: warning: ");
    ASSERT_NE(warning, std::string::npos) << result.output;
    EXPECT_NE(result.output.find(" pixels overflowed, or were negative or not numbers", warning),
              std::string::npos);
    EXPECT_EQ(result.output.find("warning", warning + 30), std::string::npos);
    EXPECT_TRUE(displayable(lumaveil::preview::readExr(out("hot") + ".exr")));
    EXPECT_TRUE(std::filesystem::exists(out("hot") + ".png"));

    const CommandRun closed =
        shell(std::string(LUMAVEIL_PREVIEW_PATH) + " --set color=1e38 --size 16 --output " +
              out("closed") + " >&- 2>&-");
    EXPECT_EQ(closed.status, 0);
    for (const char* file : {"closed.png", "closed.exr"}) {
        EXPECT_EQ(contentOf(out(file)).find("lumaveil-preview"), std::string::npos) << file;
    }
    const std::string png = contentOf(out("closed.png"));
    EXPECT_TRUE(png.ends_with(std::string("IEND\xae\x42\x60\x82", 8)));
}

// A value outside its physical range is named in one line with the value
// every host used, and the picture is the one that value gives.
TEST_F(PreviewCommand, ValuesOutsideTheirRangeAreNamedWithTheValueUsed) {
    const CommandRun given =
        run("--set absorption=-0.6 --set it=1.5,0.5,0.5 --size 16 --output " + out("given"));
    EXPECT_EQ(given.status, 0) << given.output;
    EXPECT_NE(given.output.find("lumaveil-preview: warning: transparency 1.5,0.5,0.5 held at "
                                "1,0.5,0.5; absorption -0.6 held at 0\n"),
              std::string::npos)
        << given.output;
    const CommandRun used =
        run("--set absorption=0 --set it=1,0.5,0.5 --size 16 --output " + out("used"));
    EXPECT_EQ(used.status, 0) << used.output;
    EXPECT_EQ(used.output.find("warning"), std::string::npos) << used.output;
    const lumaveil::preview::Image image = lumaveil::preview::readExr(out("given") + ".exr");
    EXPECT_EQ(image.pixels, lumaveil::preview::readExr(out("used") + ".exr").pixels);
    EXPECT_TRUE(displayable(image));
}

#if defined(__SANITIZE_THREAD__)
#define LUMAVEIL_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define LUMAVEIL_THREAD_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(LUMAVEIL_THREAD_SANITIZER)
#define LUMAVEIL_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define LUMAVEIL_SANITIZED 1
#endif
#endif

// An image within the size limit that still does not fit in memory ends in
// the one-line error, not in std::terminate.
TEST_F(PreviewCommand, OutOfMemoryIsOneLineAndStatusTwo) {
#ifdef LUMAVEIL_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than the limit allows";
#else
    const CommandRun result =
        run("--host maya --size 6000 --samples 1 --threads 1 --output " + out("big"),
            "ulimit -v 300000; ");
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_EQ(result.output,
              "lumaveil-preview: error: out of memory: not enough memory for this image; give a "
              "smaller --size\n");
    EXPECT_TRUE(std::filesystem::is_empty(folder_));
#endif
}

// Runs writing one output at once each leave a whole pair, and names that an
// earlier tool wrote through, a link or a file, are left alone.
TEST_F(PreviewCommand, ConcurrentRunsEachLeaveAWholePair) {
    const std::string stem = out("x");
    std::ofstream(out("victim")) << "victim";
    std::filesystem::create_symlink(out("victim"), stem + ".png.partial");
    std::ofstream(stem + ".exr.partial") << "leftover";
    for (int round = 0; round < 3; ++round) {
        std::string runs;
        for (int size = 8; size < 16; ++size) {
            runs += std::string(LUMAVEIL_PREVIEW_PATH) + " --host maya --samples 1 --size " +
                    std::to_string(size) + " --output " + stem + " & ";
        }
        const CommandRun result = shell("{ " + runs + "wait; } 2>&1");
        std::ptrdiff_t written = 0;
        for (std::size_t at = 0;
             (at = result.output.find("; wrote ", at + 1)) != std::string::npos;) {
            ++written;
        }
        EXPECT_EQ(written, 8) << result.output;
        EXPECT_EQ(lumaveil::preview::readPng(stem + ".png").width,
                  lumaveil::preview::readExr(stem + ".exr").width)
            << "round " << round;
    }
    EXPECT_EQ(contentOf(out("victim")), "victim");
    EXPECT_TRUE(std::filesystem::is_symlink(stem + ".png.partial"));
    EXPECT_EQ(contentOf(stem + ".exr.partial"), "leftover");
    EXPECT_FALSE(std::filesystem::is_symlink(stem + ".png"));
    EXPECT_EQ(entriesIn(folder_), 5);  // no temporary left
}

// The status of a child that a signal should end within 30 s.
int endedStatus(pid_t child) {
    int status = 0;
    for (int waited = 0; waitpid(child, &status, WNOHANG) == 0; ++waited) {
        if (waited == 300) {  // the signal did not end the tool
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            break;
        }
        usleep(100000);
    }
    return status;
}

// INT, TERM, HUP, QUIT and XCPU end the tool by the signal, with this
// run's temporaries removed: at the moment either is created, before the
// tool has recorded it. None is made before the render has ended, so that a
// run killed during it, by SIGKILL too, leaves nothing.
TEST_F(PreviewCommand, SignalsEndTheToolAndLeaveNoFile) {
    const std::string output = out("swatch");
    // A sanitizer's runtime is loaded after a preloaded helper.
    const char* asan = std::getenv("ASAN_OPTIONS");
    const std::string asanOptions = std::string(asan ? asan : "") + ":verify_asan_link_order=0";
    auto start = [&](const char* size, const char* raiseAt) {
        const pid_t child = fork();
        if (child == 0) {
            for (const int caught : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXCPU}) {
                std::signal(caught, SIG_DFL);
            }
            const rlimit noCore{0, 0};
            setrlimit(RLIMIT_CORE, &noCore);
            if (raiseAt != nullptr) {
                setenv("LD_PRELOAD", SIGNAL_AT_TEMPORARY_PATH, 1);
                setenv("LUMAVEIL_RAISE_AT_TEMPORARY", raiseAt, 1);
                setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
            }
            execl(LUMAVEIL_PREVIEW_PATH, LUMAVEIL_PREVIEW_PATH, "--size", size, "--samples", "64",
                  "--threads", "2", "--output", output.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        return child;
    };
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGXCPU, SIGKILL}) {
        const pid_t child = start("1024", nullptr);
        ASSERT_GE(child, 0);
        // Rendering once its second thread runs.
        const std::filesystem::path tasks = "/proc/" + std::to_string(child) + "/task";
        for (int waited = 0; entriesIn(tasks) < 2 && waited < 3000; ++waited) {
            usleep(20000);
        }
        usleep(100000);
        EXPECT_EQ(entriesIn(folder_), 0) << "a temporary while rendering";
        kill(child, signal);
        const int status = endedStatus(child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
        EXPECT_EQ(entriesIn(folder_), 0) << signal;
    }
    for (const char* raiseAt : {"1", "2"}) {
        const pid_t child = start("8", raiseAt);
        ASSERT_GE(child, 0);
        const int status = endedStatus(child);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM)
            << "temporary " << raiseAt << ": " << status;
        EXPECT_EQ(entriesIn(folder_), 0) << "temporary " << raiseAt;
    }
}

// A file-size limit is a one-line write error, not SIGXFSZ; output-only
// commands fail when their output is lost.
TEST_F(PreviewCommand, LostOutputIsAnError) {
    const CommandRun result = run("--size 64 --samples 1 --output " + out("big"), "ulimit -f 1; ");
    EXPECT_EQ(result.status, 2) << result.output;
    EXPECT_NE(
        result.output.find("error: cannot write " + out("big") + ".png: File too large (" +
                           out("big") + ".png and " + out("big") + ".exr are left as they were)\n"),
        std::string::npos)
        << result.output;
    EXPECT_EQ(entriesIn(folder_), 0);
    for (const std::string command : {"--help", "--list-presets"}) {
        EXPECT_EQ(run(command + " >/dev/full").status, 2) << command;
        const CommandRun closed =
            shell(std::string(LUMAVEIL_PREVIEW_PATH) + " " + command + " 2>&1 >&-");
        EXPECT_EQ(closed.status, 1) << command;
        EXPECT_EQ(closed.output,
                  "lumaveil-preview: error: cannot write the output: standard output is closed\n");
    }
}

TEST_F(PreviewCommand, ListsPresetsWithTheirValues) {
    const CommandRun result = run("--list-presets");
    ASSERT_EQ(result.status, 0);
    EXPECT_NE(result.output.find("marble      2.19,2.62,3.00"), std::string::npos) << result.output;
    EXPECT_NE(result.output.find("1.5"), std::string::npos);
}

}  // namespace
