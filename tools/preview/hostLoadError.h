// A library, or the declaration it comes with, that its host cannot load.
#pragma once

#include <stdexcept>
#include <string>

namespace lumaveil::preview {

// The message is one line that names the file and why.
struct HostLoadError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// "cannot load WHAT PATH: REASON", the path named once: the loader begins
// its reasons with the path it was handed, which then goes.
inline HostLoadError cannotLoad(const std::string& what, const std::string& path,
                                std::string reason) {
    if (reason.starts_with(path + ": ")) {
        reason.erase(0, path.size() + 2);
    }
    return HostLoadError("cannot load " + what + " " + path + ": " + reason);
}

}  // namespace lumaveil::preview
