// The node's icons: each of the size Maya shows it at, a lit sphere on a
// transparent background.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Icon {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

Icon read(const std::string& name) {
    const std::string path = std::string(LUMAVEIL_ICONS_DIR) + "/" + name;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    Icon icon;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        ADD_FAILURE() << path << ": " << image.message;
        return icon;
    }
    image.format = PNG_FORMAT_RGBA;
    icon.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, icon.rgba.data(), 0, nullptr)) {
        ADD_FAILURE() << path << ": " << image.message;
        return icon;
    }
    icon.width = static_cast<int>(image.width);
    icon.height = static_cast<int>(image.height);
    return icon;
}

float luminance(const std::uint8_t* p) {
    return 0.2126f * p[0] + 0.7152f * p[1] + 0.0722f * p[2];
}

// Of a size, as Maya names it: render_ for the Hypershade's 32 pixels, out_
// for the Outliner's 20.
class IconTest : public ::testing::TestWithParam<int> {};

TEST_P(IconTest, IsALitSphereOnATransparentBackground) {
    const int size = GetParam();
    const Icon icon = read(size == 32 ? "render_lumaVeil.png" : "out_lumaVeil.png");
    ASSERT_EQ(icon.width, size);
    ASSERT_EQ(icon.height, size);
    // The corners show through; the middle is covered.
    for (const auto& [x, y] :
         {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
        EXPECT_EQ(icon.at(x, y)[3], 0) << x << "," << y;
    }
    EXPECT_EQ(icon.at(size / 2, size / 2)[3], 255);
    // Shaded, not flat: the side towards the key light (upper left) is
    // brighter than the side away from it, and neither is black or white.
    const int q = size / 4;
    const float lit = luminance(icon.at(size / 2 - q, size / 2 - q));
    const float away = luminance(icon.at(size / 2 + q, size / 2 + q));
    EXPECT_GT(lit, away + 20.0f);
    EXPECT_GT(away, 0.0f);
    EXPECT_LT(lit, 255.0f);
}

INSTANTIATE_TEST_SUITE_P(Maya, IconTest, ::testing::Values(32, 20));

}  // namespace
