#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "attributeReference.h"
#include "options.h"
#include "referencePictures.h"
#include "swatchRenderers.h"

namespace lumaveil::reference {
namespace {

using namespace preview;

std::string contentOf(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// docs/attributes.md is written from the tables, and its pictures rendered by
// the tool's code: the checked-in page must be what they give today, and so
// must the picture list, whose fingerprints come from rendering each picture
// again coarsely, so that a changed model cannot leave stale pictures. Each
// listed picture is there at its size, and nothing else is.
TEST(AttributeReference, PageAndPicturesAreUpToDate) {
    const std::filesystem::path page = LUMAVEIL_ATTRIBUTE_REFERENCE;
    const std::filesystem::path images = page.parent_path() / "images";
    const char* outOfDate =
        "docs/attributes.md or docs/images is out of date: run cmake --build build/default "
        "--target regenerate-attribute-reference";
    EXPECT_TRUE(contentOf(page) == attributeReferenceMarkdown()) << outOfDate;

    std::vector<std::unique_ptr<SwatchRenderer>> renderers;
    renderers.push_back(loadMayaSwatchRenderer(LUMAVEIL_PLUGIN_PATH));
    renderers.push_back(loadMentalraySwatchRenderer(QV7K_SHADER_PATH, builtRendererModulePath()));
    renderers.push_back(loadArnoldSwatchRenderer(LUMAVEIL_ARNOLD_SHADER_PATH));
    EXPECT_EQ(contentOf(images / "pictures.txt"), pictureList(renderers, 2)) << outOfDate;

    std::set<std::string> expected{"pictures.txt"}, found;
    for (const ReferencePicture& picture : referencePictures()) {
        expected.insert(picture.file);
        const SheetLayout layout = sheetLayout(parseOptions(
            std::vector<std::string_view>(picture.arguments.begin(), picture.arguments.end())));
        const DisplayImage png = readPng((images / picture.file).string());
        EXPECT_EQ(png.width, layout.width) << picture.file;
        EXPECT_EQ(png.height, layout.height) << picture.file;
    }
    for (const auto& entry : std::filesystem::directory_iterator(images)) {
        found.insert(entry.path().filename().string());
    }
    EXPECT_EQ(found, expected) << outOfDate;
}

}  // namespace
}  // namespace lumaveil::reference
