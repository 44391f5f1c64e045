// Where the swatches lie on the image: in cells, one per material, each
// holding every host's swatch of it side by side or one above the other.
#pragma once

namespace lumaveil::preview {

// The image as cells, one per material, each holding every host's swatch of
// it: one cell with the swatches side by side, every preset in cells four
// across, or a sweep's steps in a row of cells with one row of swatches per
// host.
struct SheetLayout {
    int columns = 1;
    int rows = 1;
    int swatchWidth = 0;
    int swatchHeight = 0;
    bool hostsStacked = false;  // a cell's swatches one above the other
    int cellWidth = 0;
    int cellHeight = 0;
    int width = 0;
    int height = 0;

    // `cells` cells of one swatch per host each, `columns` across.
    static SheetLayout of(int swatchWidth, int swatchHeight, int hosts, bool hostsStacked,
                          int cells, int columns);

    int cellX(int cell) const { return cell % columns * cellWidth; }
    int cellY(int cell) const { return cell / columns * cellHeight; }
    // The top-left corner of a host's swatch in a cell.
    int swatchX(int cell, int host) const {
        return cellX(cell) + (hostsStacked ? 0 : host * swatchWidth);
    }
    int swatchY(int cell, int host) const {
        return cellY(cell) + (hostsStacked ? host * swatchHeight : 0);
    }
};

}  // namespace lumaveil::preview
