// A bar on stderr that fills as the rows of a render finish, drawn only on a
// terminal.
#pragma once

#include <mutex>

namespace lumaveil::preview {

class ProgressBar {
public:
    ProgressBar();
    // Rows finished so far, of the total; threads may report out of turn.
    void rowsDone(int done, int total);
    // Clears the bar's line.
    void finish();

private:
    bool shown_;
    int lastPercent_ = -1;
    std::mutex mutex_;
};

}  // namespace lumaveil::preview
