#include "image.h"

#include <png.h>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace lumaveil::preview {

namespace {

// A temporary name beside the target, removed unless the write completes.
class AsideFile {
public:
    explicit AsideFile(const std::string& target) : target_(target), aside_(target + ".partial") {}
    ~AsideFile() {
        if (!committed_) {
            std::error_code ignored;
            std::filesystem::remove(aside_, ignored);
        }
    }
    const std::string& path() const { return aside_; }
    void commit() {
        std::error_code error;
        std::filesystem::rename(aside_, target_, error);
        if (error) {
            throw std::runtime_error("cannot write " + target_ + ": " + error.message());
        }
        committed_ = true;
    }

private:
    std::string target_;
    std::string aside_;
    bool committed_ = false;
};

float srgbToLinear(unsigned char code) {
    const float v = code / 255.0f;
    return v <= 0.04045f ? v / 12.92f : std::pow((v + 0.055f) / 1.055f, 2.4f);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

unsigned char srgbCode(float linear) {
    if (!(linear > 0.0f)) {
        return 0;
    }
    if (linear >= 1.0f) {
        return 255;
    }
    const float encoded =
        linear <= 0.0031308f ? linear * 12.92f : 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
    return static_cast<unsigned char>(std::lround(encoded * 255.0f));
}

void writePng(const std::string& path, const Image& image) {
    AsideFile aside(path);
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(aside.path().c_str(), "wb"));
        if (!file) {
            throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
        }
        png_image png{};
        png.version = PNG_IMAGE_VERSION;
        png.width = static_cast<png_uint_32>(image.width);
        png.height = static_cast<png_uint_32>(image.height);
        png.format = PNG_FORMAT_RGB;
        std::vector<unsigned char> rows(image.pixels.size() * 3);
        for (std::size_t i = 0; i < image.pixels.size(); ++i) {
            for (int k = 0; k < 3; ++k) {
                rows[i * 3 + k] = srgbCode(image.pixels[i][k]);
            }
        }
        // The bytes are sRGB codes already: tell libpng not to convert them.
        png.flags = 0;
        if (!png_image_write_to_stdio(&png, file.get(), 0, rows.data(), 0, nullptr)) {
            throw std::runtime_error("cannot write " + path + ": " + png.message);
        }
        if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
            throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
        }
    }
    aside.commit();
}

Image readPng(const std::string& path) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str())) {
        throw std::runtime_error("cannot read " + path + ": " + png.message);
    }
    png.format = PNG_FORMAT_RGB;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(png));
    if (!png_image_finish_read(&png, nullptr, bytes.data(), 0, nullptr)) {
        throw std::runtime_error("cannot read " + path + ": " + png.message);
    }
    Image image(static_cast<int>(png.width), static_cast<int>(png.height));
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        for (int k = 0; k < 3; ++k) {
            image.pixels[i][k] = srgbToLinear(bytes[i * 3 + k]);
        }
    }
    return image;
}

void writeExr(const std::string& path, const Image& image) {
    AsideFile aside(path);
    try {
        Imf::Header header(image.width, image.height);
        const char* names[] = {"R", "G", "B"};
        for (const char* name : names) {
            header.channels().insert(name, Imf::Channel(Imf::FLOAT));
        }
        Imf::OutputFile file(aside.path().c_str(), header);
        Imf::FrameBuffer frame;
        const std::size_t pixelStride = sizeof(FloatVector);
        const std::size_t rowStride = pixelStride * static_cast<std::size_t>(image.width);
        char* base = reinterpret_cast<char*>(const_cast<FloatVector*>(image.pixels.data()));
        frame.insert(
            "R", Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, x), pixelStride, rowStride));
        frame.insert(
            "G", Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, y), pixelStride, rowStride));
        frame.insert(
            "B", Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, z), pixelStride, rowStride));
        file.setFrameBuffer(frame);
        file.writePixels(image.height);
    } catch (const std::exception& error) {
        throw std::runtime_error("cannot write " + path + ": " + error.what());
    }
    aside.commit();
}

Image readExr(const std::string& path) {
    try {
        Imf::InputFile file(path.c_str());
        const Imath::Box2i window = file.header().dataWindow();
        Image image(window.max.x - window.min.x + 1, window.max.y - window.min.y + 1);
        Imf::FrameBuffer frame;
        const std::size_t pixelStride = sizeof(FloatVector);
        const std::size_t rowStride = pixelStride * static_cast<std::size_t>(image.width);
        char* base = reinterpret_cast<char*>(image.pixels.data()) -
                     (window.min.x * pixelStride + window.min.y * rowStride);
        frame.insert(
            "R", Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, x), pixelStride, rowStride));
        frame.insert(
            "G", Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, y), pixelStride, rowStride));
        frame.insert(
            "B", Imf::Slice(Imf::FLOAT, base + offsetof(FloatVector, z), pixelStride, rowStride));
        file.setFrameBuffer(frame);
        file.readPixels(window.min.y, window.max.y);
        return image;
    } catch (const std::exception& error) {
        throw std::runtime_error("cannot read " + path + ": " + error.what());
    }
}

}  // namespace lumaveil::preview
