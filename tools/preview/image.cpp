#include "image.h"

#include <png.h>

#include <OpenEXR/ImfChannelList.h>
#include <OpenEXR/ImfFrameBuffer.h>
#include <OpenEXR/ImfHeader.h>
#include <OpenEXR/ImfInputFile.h>
#include <OpenEXR/ImfOutputFile.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <system_error>

namespace lumaveil::preview {

namespace {

// The partial file being written, for the signal handler: a copy of its path
// in static storage, published by the flag once complete.
char signalPartialPath[4096];
volatile std::sig_atomic_t signalPartialSet = 0;

extern "C" void removePartialAndReraise(int signal) {
    if (signalPartialSet) {
        ::unlink(signalPartialPath);
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// A temporary name beside the target, removed unless the write completes, or
// by a SIGINT or SIGTERM that ends the process meanwhile.
class AsideFile {
public:
    explicit AsideFile(const std::string& target) : target_(target), aside_(target + ".partial") {
        if (aside_.size() < sizeof signalPartialPath) {
            signalPartialSet = 0;
            std::atomic_signal_fence(std::memory_order_seq_cst);
            std::memcpy(signalPartialPath, aside_.c_str(), aside_.size() + 1);
            std::atomic_signal_fence(std::memory_order_seq_cst);
            signalPartialSet = 1;
        }
    }
    ~AsideFile() {
        signalPartialSet = 0;
        if (!committed_) {
            std::error_code ignored;
            std::filesystem::remove(aside_, ignored);
        }
    }
    AsideFile(const AsideFile&) = delete;
    AsideFile& operator=(const AsideFile&) = delete;
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

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

void removePartialFilesOnSignals() {
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        struct sigaction previous {};
        action.sa_handler = SIG_IGN;
        sigaction(signal, nullptr, &previous);
        if (previous.sa_handler == SIG_IGN) {
            continue;
        }
        action.sa_handler = removePartialAndReraise;
        sigemptyset(&action.sa_mask);
        sigaction(signal, &action, nullptr);
    }
}

void writePng(const std::string& path, const DisplayImage& image) {
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
        // The bytes are sRGB codes already: tell libpng not to convert them.
        png.flags = 0;
        if (!png_image_write_to_stdio(&png, file.get(), 0, image.codes.data(), 0, nullptr)) {
            throw std::runtime_error("cannot write " + path + ": " + png.message);
        }
        if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
            throw std::runtime_error("cannot write " + path + ": " + std::strerror(errno));
        }
    }
    aside.commit();
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
