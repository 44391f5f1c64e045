// The little MEL the stand-in Maya understands, and the render-node
// creation window that plug-ins refresh.
#include <string>
#include <vector>

#include "hostRecords.h"

namespace mayahost {

// Records every command; acts on the render-node creation window's
// refresh, guarded or not by a test for the window.
void Host::Impl::runCommand(const std::string& command) {
    commands.push_back(command);
    static const std::string refresh = "refreshCreateRenderNodeWindow(\"";
    const auto at = command.find(refresh);
    if (at == std::string::npos || !windowOpen) {
        return;
    }
    const auto start = at + refresh.size();
    const auto end = command.find('"', start);
    refreshes.push_back(command.substr(start, end == std::string::npos ? end : end - start));
}

void Host::setCreateRenderNodeWindowOpen(bool open) {
    impl_->windowOpen = open;
}

std::vector<std::string> Host::executedCommands() const {
    return impl_->commands;
}

std::vector<std::string> Host::renderNodeWindowRefreshes() const {
    return impl_->refreshes;
}

std::vector<std::string> Host::displayedErrors() const {
    return impl_->errors;
}

}  // namespace mayahost
