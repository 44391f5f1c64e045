#include "defaultFont.h"

namespace lumaveil::preview {

std::string defaultFontPath() {
    return LUMAVEIL_PREVIEW_FONT;
}

}  // namespace lumaveil::preview
