#include "image.h"

#include <png.h>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfIO.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>

namespace lumaveil::preview {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// OpenEXR's output through an open file. The file's line offset table is
// written when OpenEXR's file object is destroyed, which swallows errors, so
// the first failure is also kept for the caller to ask about.
class DescriptorStream final : public Imf::OStream {
public:
    explicit DescriptorStream(int file) : Imf::OStream("image"), file_(file) {}
    void write(const char data[], int size) override {
        while (size > 0) {
            const ssize_t written =
                pwrite(file_, data, static_cast<std::size_t>(size), static_cast<off_t>(position_));
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                if (failure_.empty()) {
                    failure_ = written < 0 ? std::strerror(errno) : "nothing was written";
                }
                throw std::runtime_error(failure_);
            }
            data += written;
            size -= static_cast<int>(written);
            position_ += static_cast<std::uint64_t>(written);
        }
    }
    std::uint64_t tellp() override { return position_; }
    void seekp(std::uint64_t position) override { position_ = position; }
    const std::string& failure() const { return failure_; }

private:
    int file_;
    std::uint64_t position_ = 0;
    std::string failure_;
};

// The R, G and B channels as OpenEXR reads or writes them: the pixels' x, y
// and z, row by row, with (minX, minY) the first pixel's place in the file's
// data window.
Imf::FrameBuffer frameBufferOf(FloatVector* pixels, int width, int minX, int minY) {
    const std::size_t pixelStride = sizeof(FloatVector);
    const std::size_t rowStride = pixelStride * static_cast<std::size_t>(width);
    char* base = reinterpret_cast<char*>(pixels) - (minX * pixelStride + minY * rowStride);
    Imf::FrameBuffer frame;
    frame.insert("R",
                 Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, x), pixelStride, rowStride));
    frame.insert("G",
                 Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, y), pixelStride, rowStride));
    frame.insert("B",
                 Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, z), pixelStride, rowStride));
    return frame;
}

}  // namespace

void writePng(int file, const DisplayImage& image) {
    const int own = dup(file);
    std::unique_ptr<std::FILE, FileCloser> stream(own < 0 ? nullptr : fdopen(own, "wb"));
    if (!stream) {
        const int error = errno;
        if (own >= 0) {
            close(own);
        }
        throw std::runtime_error(std::strerror(error));
    }
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    // The bytes are sRGB codes already: tell libpng not to convert them.
    png.flags = 0;
    errno = 0;
    const bool written =
        png_image_write_to_stdio(&png, stream.get(), 0, image.codes.data(), 0, nullptr) != 0;
    // A failed write leaves its reason in errno; libpng's message is only
    // "Write Error".
    const int error = errno;
    if (!written) {
        throw std::runtime_error(std::ferror(stream.get()) && error != 0 ? std::strerror(error)
                                                                         : png.message);
    }
    if (std::fflush(stream.get()) != 0 || std::ferror(stream.get())) {
        throw std::runtime_error(std::strerror(errno));
    }
    if (std::fclose(stream.release()) != 0) {
        throw std::runtime_error(std::strerror(errno));
    }
}

DisplayImage readPng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        throw std::runtime_error("cannot read " + path + ": " + png.message);
    }
    png.format = PNG_FORMAT_RGB;
    DisplayImage image(static_cast<int>(png.width), static_cast<int>(png.height));
    if (!png_image_finish_read(&png, nullptr, image.codes.data(), 0, nullptr)) {
        throw std::runtime_error("cannot read " + path + ": " + png.message);
    }
    return image;
}

void writeExr(int file, const Image& image) {
    DescriptorStream stream(file);
    try {
        Imf::Header header(image.width, image.height);
        const char* names[] = {"R", "G", "B"};
        for (const char* name : names) {
            header.channels().insert(name, Imf::Channel(Imf::FLOAT));
        }
        Imf::OutputFile output(stream, header);
        output.setFrameBuffer(
            frameBufferOf(const_cast<FloatVector*>(image.pixels.data()), image.width, 0, 0));
        output.writePixels(image.height);
    } catch (const std::exception& error) {
        throw std::runtime_error(stream.failure().empty() ? error.what() : stream.failure());
    }
    if (!stream.failure().empty()) {
        throw std::runtime_error(stream.failure());
    }
}

Image readExr(const std::string& path) {
    try {
        Imf::InputFile file(path.c_str());
        const Imath::Box2i window = file.header().dataWindow();
        Image image(window.max.x - window.min.x + 1, window.max.y - window.min.y + 1);
        file.setFrameBuffer(
            frameBufferOf(image.pixels.data(), image.width, window.min.x, window.min.y));
        file.readPixels(window.min.y, window.max.y);
        return image;
    } catch (const std::exception& error) {
        throw std::runtime_error("cannot read " + path + ": " + error.what());
    }
}

}  // namespace lumaveil::preview
