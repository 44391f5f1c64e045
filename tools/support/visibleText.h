// Text from a user or a file made fit to quote in a one-line message: what
// would show nothing, or would break the line, is spelled out.
#pragma once

#include <string>
#include <string_view>

namespace lumaveil {

// Control characters become \n, \r, \t or \xNN, bytes that are no UTF-8
// \xNN, and characters that show nothing, such as a byte-order mark,
// zero-width and direction marks and line separators, <U+FEFF>. Everything
// else, letters of any script included, stays as it is.
std::string visibleText(std::string_view text);

}  // namespace lumaveil
