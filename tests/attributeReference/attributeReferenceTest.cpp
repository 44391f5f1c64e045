#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "attributeReference.h"
#include "model/materialAttributes.h"
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

// The guides name attributes in prose, where no generator reaches: the Maya
// guide every editable attribute (what the viewport draws of it, or that only
// the render shows it), the preview's guide each one the mental ray shader
// does not take. A new row fails here until they say it.
TEST(AttributeReference, GuidesNameTheAttributesTheyList) {
    const std::filesystem::path docs =
        std::filesystem::path(LUMAVEIL_ATTRIBUTE_REFERENCE).parent_path();
    const std::string maya = contentOf(docs / "maya.md");
    const std::string preview = contentOf(docs / "preview.md");
    ASSERT_FALSE(maya.empty() || preview.empty()) << "cannot read the guides in " << docs;
    for (const MaterialAttribute& a : materialAttributes) {
        const std::string named = "`" + std::string(a.longName) + "`";
        EXPECT_NE(maya.find(named), std::string::npos)
            << "docs/maya.md does not say whether the viewport shows " << named;
        if (a.rendererParameter.empty()) {
            EXPECT_NE(preview.find(named), std::string::npos)
                << "docs/preview.md does not say that the mental ray shader lacks " << named;
        }
    }
}

}  // namespace
}  // namespace lumaveil::reference
