#include "progressBar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace lumaveil::preview {

ProgressBar::ProgressBar() : shown_(isatty(STDERR_FILENO)) {}

void ProgressBar::rowsDone(int done, int total) {
    if (!shown_) {
        return;
    }
    std::lock_guard lock(mutex_);
    const int percent = static_cast<int>(static_cast<long long>(done) * 100 / total);
    if (percent > lastPercent_) {
        lastPercent_ = percent;
        const int filled = percent * 40 / 100;
        std::fprintf(stderr, "\r[%s%s] %3d%%", std::string(filled, '#').c_str(),
                     std::string(40 - filled, ' ').c_str(), percent);
    }
}

void ProgressBar::finish() {
    if (shown_) {
        std::fprintf(stderr, "\r%60s\r", "");
    }
}

}  // namespace lumaveil::preview
