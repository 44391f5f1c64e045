#include "sheetLayout.h"

namespace lumaveil::preview {

SheetLayout SheetLayout::of(int swatchWidth, int swatchHeight, int hosts, bool hostsStacked,
                            int cells, int columns) {
    SheetLayout layout;
    layout.swatchWidth = swatchWidth;
    layout.swatchHeight = swatchHeight;
    layout.hostsStacked = hostsStacked;
    layout.cellWidth = swatchWidth * (hostsStacked ? 1 : hosts);
    layout.cellHeight = swatchHeight * (hostsStacked ? hosts : 1);
    layout.columns = columns;
    layout.rows = (cells + columns - 1) / columns;
    layout.width = layout.cellWidth * layout.columns;
    layout.height = layout.cellHeight * layout.rows;
    return layout;
}

}  // namespace lumaveil::preview
