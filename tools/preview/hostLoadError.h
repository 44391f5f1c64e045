// A library, or the declaration it comes with, that its host cannot load.
#pragma once

#include <stdexcept>

namespace lumaveil::preview {

// The message is one line that names the file and why.
struct HostLoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace lumaveil::preview
