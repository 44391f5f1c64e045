// The preview tool's command-line parser on arbitrary arguments, split at
// NUL bytes. Bad input must end in UsageError and nothing else: any other
// exception escapes and is reported.
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> arguments;
    std::size_t start = 0;
    while (start <= text.size() && !text.empty()) {
        const std::size_t end = text.find('\0', start);
        if (end == std::string_view::npos) {
            arguments.push_back(text.substr(start));
            break;
        }
        arguments.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    try {
        lumaveil::preview::parseOptions(arguments);
    } catch (const lumaveil::preview::UsageError&) {
    }
    return 0;
}
