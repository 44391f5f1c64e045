// The font the labels are drawn in unless --font names another: DejaVu Sans,
// as the system's fonts held it when the tool was configured.
#pragma once

#include <string>

namespace lumaveil::preview {

std::string defaultFontPath();

}  // namespace lumaveil::preview
