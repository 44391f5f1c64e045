#include "visibleText.h"

#include <cstdint>
#include <cstdio>

namespace lumaveil {

namespace {

// The code point at the start of the text and its length in bytes, or a
// length of 0 where the bytes are no well-formed UTF-8 (overlong forms and
// surrogates included).
struct Decoded {
    std::uint32_t codePoint = 0;
    std::size_t length = 0;
};

Decoded decode(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return {lead, 1};
    }
    const std::size_t length = lead >= 0xc2 && lead < 0xe0   ? 2
                               : lead >= 0xe0 && lead < 0xf0 ? 3
                               : lead >= 0xf0 && lead < 0xf5 ? 4
                                                             : 0;
    if (length == 0 || text.size() < length) {
        return {};
    }
    std::uint32_t codePoint = lead & (0x7fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xc0) != 0x80) {
            return {};
        }
        codePoint = codePoint << 6 | (byte(i) & 0x3fu);
    }
    const std::uint32_t least = length == 2 ? 0x80 : length == 3 ? 0x800 : 0x10000;
    if (codePoint < least || codePoint > 0x10ffff || (codePoint >= 0xd800 && codePoint < 0xe000)) {
        return {};
    }
    return {codePoint, length};
}

// Characters that take no room on a terminal or move the text around it:
// C1 controls, soft hyphen, the joiners, marks and separators of the
// general punctuation block, the byte-order mark, interlinear annotation
// and tag characters.
bool showsNothing(std::uint32_t c) {
    return (c >= 0x80 && c < 0xa0) || c == 0xad || c == 0x34f || c == 0x61c || c == 0x180e ||
           (c >= 0x200b && c <= 0x200f) || (c >= 0x2028 && c <= 0x202e) ||
           (c >= 0x2060 && c <= 0x206f) || c == 0xfeff || (c >= 0xfff9 && c <= 0xfffb) ||
           (c >= 0xe0000 && c <= 0xe007f);
}

std::string hexByte(unsigned char byte) {
    char text[5];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    return text;
}

}  // namespace

std::string visibleText(std::string_view text) {
    std::string shown;
    shown.reserve(text.size());
    while (!text.empty()) {
        const Decoded next = decode(text);
        const auto lead = static_cast<unsigned char>(text[0]);
        if (next.length == 0) {
            shown += hexByte(lead);
            text.remove_prefix(1);
            continue;
        }
        if (next.codePoint < 0x20 || next.codePoint == 0x7f) {
            shown += lead == '\n'   ? "\\n"
                     : lead == '\r' ? "\\r"
                     : lead == '\t' ? "\\t"
                                    : hexByte(lead);
        } else if (showsNothing(next.codePoint)) {
            char name[16];
            std::snprintf(name, sizeof name, "<U+%04X>", static_cast<unsigned>(next.codePoint));
            shown += name;
        } else {
            shown.append(text.substr(0, next.length));
        }
        text.remove_prefix(next.length);
    }
    return shown;
}

}  // namespace lumaveil
