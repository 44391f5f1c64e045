#include "rgbaPng.h"

#include <array>
#include <cstddef>

namespace lumaveil::icons {

namespace {

std::uint32_t crc32(const std::string& bytes, std::size_t from) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) {
                c = (c & 1u) != 0 ? 0xedb88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t c = 0xffffffffu;
    for (std::size_t i = from; i < bytes.size(); ++i) {
        c = table[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xffu] ^ (c >> 8);
    }
    return c ^ 0xffffffffu;
}

void appendBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += static_cast<char>((value >> shift) & 0xffu);
    }
}

// Length, type, data and the CRC of type and data.
void appendChunk(std::string& out, const char* type, const std::string& data) {
    appendBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out += type;
    out += data;
    appendBigEndian(out, crc32(out, start));
}

// A zlib stream of stored deflate blocks, at most 65535 bytes each.
std::string storedZlib(const std::string& raw) {
    std::string out = "\x78\x01";
    std::size_t at = 0;
    do {
        const std::size_t length = raw.size() - at < 65535 ? raw.size() - at : 65535;
        const bool last = at + length == raw.size();
        out += static_cast<char>(last ? 1 : 0);
        out += static_cast<char>(length & 0xffu);
        out += static_cast<char>(length >> 8);
        out += static_cast<char>(~length & 0xffu);
        out += static_cast<char>((~length >> 8) & 0xffu);
        out.append(raw, at, length);
        at += length;
    } while (at < raw.size());
    std::uint32_t a = 1, b = 0;  // Adler-32
    for (const char c : raw) {
        a = (a + static_cast<std::uint8_t>(c)) % 65521u;
        b = (b + a) % 65521u;
    }
    appendBigEndian(out, (b << 16) | a);
    return out;
}

}  // namespace

std::string encodePng(const RgbaImage& image) {
    std::string header;
    appendBigEndian(header, static_cast<std::uint32_t>(image.width));
    appendBigEndian(header, static_cast<std::uint32_t>(image.height));
    header += "\x08\x06";            // 8 bits per channel, RGBA
    header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
    // Each row after its filter byte, 0: none.
    std::string raw;
    const std::size_t rowBytes = static_cast<std::size_t>(image.width) * 4;
    for (int y = 0; y < image.height; ++y) {
        raw += '\0';
        raw.append(reinterpret_cast<const char*>(image.bytes.data()) + y * rowBytes, rowBytes);
    }
    std::string file = "\x89PNG\r\n\x1a\n";
    appendChunk(file, "IHDR", header);
    appendChunk(file, "IDAT", storedZlib(raw));
    appendChunk(file, "IEND", "");
    return file;
}

}  // namespace lumaveil::icons
