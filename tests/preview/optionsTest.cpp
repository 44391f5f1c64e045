#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "options.h"
#include "sheet.h"

namespace lumaveil::preview {
namespace {

Options parse(std::vector<std::string_view> arguments) {
    return parseOptions(arguments);
}

// Long names of attributes the tests set by their short names, and the
// attribute with a hard minimum, found through the table.
std::string_view longNameOf(std::string_view shortName) {
    return materialAttributeNamed(shortName)->longName;
}
const std::string bounded(std::find_if(materialAttributes.begin(), materialAttributes.end(),
                                       [](const MaterialAttribute& a) {
                                           return a.hardMin.has_value();
                                       })
                              ->longName);

std::string usageError(std::vector<std::string_view> arguments) {
    try {
        parseOptions(arguments);
    } catch (const UsageError& error) {
        return error.what();
    }
    return "(accepted)";
}

TEST(PreviewPresets, ApplyTheMeasuredValues) {
    const Options marble = parse({"--preset", "marble"});
    EXPECT_EQ(*marble.material.get("scattering"), (FloatVector{2.19f, 2.62f, 3.00f}));
    EXPECT_EQ(*marble.material.get("absorption"), (FloatVector{0.0021f, 0.0041f, 0.0071f}));
    const std::string_view index = attributeMeasuredAs(MeasuredQuantity::eta).longName;
    EXPECT_EQ(marble.material.get(index)->x, 1.5f);
    EXPECT_EQ(parse({"--preset", "skin1"}).material.get(index)->x, 1.3f);
    EXPECT_FALSE(marble.material.get("diffuse"));
}

// The colour is the dipole reflectance of each channel's reduced albedo; it
// lands near the reflectance Jensen et al. published (SIGGRAPH 2001; column
// rd of measuredMaterials.csv) except where the paper measured at another
// index (marble) or the diffusion model drifts (chicken1 blue).
TEST(PreviewPresets, ColourIsNearThePublishedReflectance) {
    for (const MeasuredMaterial& material : measuredMaterials()) {
        const FloatVector colour = reflectanceOf(material);
        for (int k = 0; k < 3; ++k) {
            const bool exception =
                material.name == "marble" || (material.name == "chicken1" && k == 2);
            if (!exception) {
                EXPECT_NEAR(colour[k], material.publishedReflectance[k], 0.01)
                    << material.name << " channel " << k;
            }
        }
    }
    ASSERT_EQ(measuredMaterials().size(), 12u);
    EXPECT_EQ(reflectanceOf(*findMeasuredMaterial("spectralon")), (FloatVector{1.0f, 1.0f, 1.0f}));
}

TEST(PreviewOptions, SetOverridesAPresetWhateverTheOrder) {
    for (const auto& arguments :
         {std::vector<std::string_view>{"--preset", "skin1", "--set", "color=0.5,0.4,0.3"},
          std::vector<std::string_view>{"--set", "c=0.5,0.4,0.3", "--preset", "skin1"}}) {
        const Options options = parse(arguments);
        EXPECT_EQ(*options.material.get("color"), (FloatVector{0.5f, 0.4f, 0.3f}));
        EXPECT_EQ(options.material.get("scattering")->x, 0.74f);
    }
    EXPECT_EQ(parse({"--set", "dfst=3"}).material.get(longNameOf("dfst"))->x, 3.0f);
    EXPECT_EQ(*parse({"--set=spc=0.25"}).material.get(longNameOf("spc")),
              (FloatVector{0.25f, 0.25f, 0.25f}));
}

TEST(PreviewOptions, ReadsSizesAndHosts) {
    const Options options = parse({"--size", "64x32", "--samples", "9", "--threads", "3", "--host",
                                   "maya", "--output", "out/x"});
    EXPECT_EQ(options.width, 64);
    EXPECT_EQ(options.height, 32);
    EXPECT_EQ(options.samples, 9);
    EXPECT_EQ(options.threads, 3);
    EXPECT_EQ(options.hosts, std::vector<Host>{Host::maya});
    EXPECT_EQ(options.output, "out/x");
    // Every host by default, and a list in the swatches' order whatever its
    // own; both is Maya and mental ray, as before Arnold joined them.
    const std::vector<Host> all{Host::maya, Host::mentalray, Host::arnold};
    EXPECT_EQ(parse({}).hosts, all);
    EXPECT_EQ(parse({"--host", "both"}).hosts, (std::vector<Host>{Host::maya, Host::mentalray}));
    // The viewport only when named.
    EXPECT_EQ(parse({"--host", "viewport,maya"}).hosts,
              (std::vector<Host>{Host::maya, Host::viewport}));
    const Options pair = parse({"--host=arnold,maya", "--sweep", "dfst=0:10:4"});
    EXPECT_EQ(pair.hosts, (std::vector<Host>{Host::maya, Host::arnold}));
    EXPECT_EQ(sheetLayout(pair).height, 2 * 256);
    EXPECT_NE(usageText().find("both is maya,mentalray"), std::string::npos);
}

TEST(PreviewOptions, ReadsTheSmallerForms) {
    EXPECT_EQ(parse({"--set", "diffuse=+0.5"}).material.get("diffuse")->x, 0.5f);
    // Too small for a float: the float it rounds to.
    EXPECT_EQ(parse({"--set", "dfst=1e-50"}).material.get(longNameOf("dfst"))->x, 0.0f);
    EXPECT_EQ(parse({"-o", "out/x.png"}).outputStem(), "out/x");
    EXPECT_EQ(parse({"--output", "out"}).outputStem(), "out");
    // One .png or .exr, in any case, goes once.
    EXPECT_EQ(parse({"-o", "z.PNG"}).outputStem(), "z");
    EXPECT_EQ(parse({"-o", "x.png.exr"}).outputStem(), "x.png");
    EXPECT_EQ(parse({"-o", "y.exr.png"}).outputStem(), "y.exr");
    const Options curve = parse({"--tonemap", "clip", "--exposure", "-1.5"});
    EXPECT_EQ(curve.toneCurve.map, ToneMap::clip);
    EXPECT_EQ(curve.toneCurve.exposure, -1.5f);
    EXPECT_EQ(parse({}).toneCurve.map, ToneMap::filmic);
    EXPECT_NE(usageText().find("-o, --output PATH"), std::string::npos);
    EXPECT_NE(usageText().find("lumaveil-preview.png and .exr in the current folder"),
              std::string::npos);
    // The largest swatch with two hosts is just within the image limit.
    const Options largest = parse({"--host", "both", "--size", "8192"});
    EXPECT_EQ(std::int64_t{sheetLayout(largest).width} * sheetLayout(largest).height,
              maxImagePixels);
}

TEST(PreviewOptions, RejectsBadInputWithOneLine) {
    const struct {
        std::vector<std::string_view> arguments;
        std::string message;
    } cases[] = {
        {{"--set", "colour=1"}, "unknown attribute 'colour'; did you mean 'color'?"},
        {{"--set", "foo=1"}, "unknown attribute 'foo'"},
        {{"--set", "Absorption=1"}, "unknown attribute 'Absorption'; did you mean 'absorption'?"},
        {{"--set", "color=1,2"}, "color takes one number or three (r,g,b), not 2"},
        {{"--set", "dfl=1,2,3"}, "diffuse takes one number, not 3"},
        {{"--set", "dfl=abc"}, "diffuse: 'abc' is not a finite number"},
        {{"--set", "dfl=nan"}, "diffuse: 'nan' is not a finite number"},
        {{"--set", "dfl=1e39"}, "diffuse: '1e39' is too large for a float (at most about 3.4e38)"},
        {{"--set", "dfl=+-1"}, "diffuse: '+-1' is not a finite number"},
        {{"--set", "dfl="}, "diffuse: '' is not a finite number"},
        {{"--set", "dfl"}, "--set takes NAME=VALUE, not 'dfl'"},
        {{"--set", "rfi=-1"}, bounded + " must be at least 1, the node's hard minimum, not '-1'"},
        {{"--set", "rfi=0"}, bounded + " must be at least 1, the node's hard minimum, not '0'"},
        {{"--set", "rfi=0.5"}, bounded + " must be at least 1, the node's hard minimum, not '0.5'"},
        {{"--preset"}, "--preset needs a value"},
        {{"--grid", "--preset", "skin1"},
         "--grid renders every preset and takes no --preset; --set values apply to every cell"},
        {{"--samples", "5"}, "--samples takes a square number (1, 4, 9, 16, ...), not 5"},
        {{"--size", "0"},
         "--size takes N or WxH, whole numbers from 1 to 8192 such as 256 or 320x240, not '0'"},
        {{"--size", "8X8"},
         "--size takes N or WxH, whole numbers from 1 to 8192 such as 256 or 320x240, not '8X8'"},
        {{"--grid", "--size", "8192"},
         "the image would be 98304x24576 pixels (2416 M, about 61 GB to render); the limit is "
         "134 M pixels: give a smaller --size"},
        {{"--output", "sub/"},
         "--output 'sub/' names a folder; give a file name, such as 'sub/swatch'"},
        {{"--output", "."}, "--output '.' names a folder; give a file name, such as 'swatch'"},
        {{"-o", "sub/.png"},
         "--output 'sub/.png' names a folder; give a file name, such as 'sub/swatch'"},
        {{"--tonemap", "aces"}, "--tonemap takes filmic or clip, not 'aces'"},
        {{"--exposure", "25"}, "--exposure takes stops from -20 to 20, not 25"},
        {{"--host", "houdini"},
         "--host takes maya, mentalray, arnold, viewport, a comma list of them, all or both, "
         "not 'houdini'"},
        {{"--host", "maya,,arnold"},
         "--host takes maya, mentalray, arnold, viewport, a comma list of them, all or both, "
         "not 'maya,,arnold'"},
        {{"--bogus"}, "unknown option '--bogus' (see --help)"},
        {{"skin1"},
         "unexpected 'skin1': every argument is an option or an option's value (see "
         "--help)"},
        // An unset variable in a pipeline gives an empty path: never the default.
        {{"--plugin", ""}, "--plugin needs a path"},
        {{"--shader="}, "--shader needs a path"},
        {{"--renderer="}, "--renderer needs a path"},
        {{"--arnold-shader="}, "--arnold-shader needs a path"},
        // A value given twice would silently take the last; --set adds up.
        {{"--host", "maya", "--host=all"},
         "--host is given twice ('maya', then 'all'); give it once"},
        {{"--size", "64", "--set", "dfl=1", "--size", "64"},
         "--size is given twice ('64', then '64'); give it once"},
        {{"-o", "a", "--output", "b"}, "--output is given twice ('a', then 'b'); give it once"},
        {{"--preset", "skin1", "--preset", "marble"},
         "--preset is given twice ('skin1', then 'marble'); give it once"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(usageError(c.arguments), c.message);
    }
    EXPECT_NE(usageError({"--preset", "jelly"}).find("unknown preset 'jelly' (known: apple,"),
              std::string::npos);
}

// A sweep steps one input evenly, ends exact, over the preset and --set
// values; every way to get it wrong is one line before anything renders.
TEST(PreviewSweep, StepsEvenlyOrRefusesInOneLine) {
    const Options skin = parse({"--sweep", "dfst=0:10:6", "--preset", "skin1", "--set", "dfl=0.5"});
    const std::vector<SheetCell> cells = sheetCells(skin);
    ASSERT_EQ(cells.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(cells[i].material.get(longNameOf("dfst"))->x, 2.0f * i);
        EXPECT_EQ(cells[i].label, std::to_string(2 * i));
        EXPECT_EQ(cells[i].material.get("scattering")->x, 0.74f);
        EXPECT_EQ(cells[i].material.get("diffuse")->x, 0.5f);
    }
    const Options colour = parse({"--sweep=c=0.1,0.2,0.3:1:3"});
    EXPECT_EQ(colour.sweep->step(2), (FloatVector{1.0f, 1.0f, 1.0f}));
    EXPECT_EQ(sheetCells(colour)[0].label, "0.1, 0.2, 0.3");
    // As many figures as tell the steps apart.
    const Options close = parse({"--sweep", "dfst=1:1.0001:3"});
    EXPECT_EQ(sheetCells(close)[1].label, "1.00005");
    EXPECT_EQ(sheetCells(close)[2].label, "1.0001");
    const Options normal = parse({"--sweep", "normalCamera=-1,0,0:1,0,0:3", "--host", "maya"});
    EXPECT_EQ(sheetCells(normal)[1].label, "0, 0, 0");
    EXPECT_EQ(sheetLayout(normal).height, 256);

    const struct {
        std::vector<std::string_view> arguments;
        std::string message;
    } cases[] = {
        {{"--sweep", "dfst=0:10"}, "--sweep takes NAME=FROM:TO:COUNT, not 'dfst=0:10'"},
        {{"--sweep", "dfst=0:1:2:3"}, "--sweep takes NAME=FROM:TO:COUNT, not 'dfst=0:1:2:3'"},
        {{"--sweep", "dfst=0:10:1"}, "--sweep's COUNT takes a whole number from 2 to 16, not '1'"},
        {{"--sweep", "dfst=0:10:17"},
         "--sweep's COUNT takes a whole number from 2 to 16, not '17'"},
        {{"--sweep", "scatering=0:1:2"},
         "unknown attribute 'scatering'; did you mean 'scattering'?"},
        {{"--sweep", "light=0:1:2"},
         "--sweep cannot take 'light', a parameter of the renderer shader alone: every swatch "
         "is lit by the preview's own key, fill and rim lights"},
        {{"--set", "irradianceColor=1"},
         "--set cannot take 'irradianceColor', a parameter of the renderer shader alone: the "
         "preview's scene has no indirect light, so the irradiance it tints is black"},
        {{"--sweep", "rfi=2:0.5:4"},
         bounded + " must be at least 1, the node's hard minimum, not '0.5'"},
        {{"--sweep", "color=0,0:1:3"}, "color takes one number or three (r,g,b), not 2"},
        {{"--sweep", "normalCamera=0,0:1:3"},
         "normalCamera takes one number or three (x,y,z), not 2"},
        {{"--sweep", "dfst=0:inf:3"},
         std::string(longNameOf("dfst")) + ": 'inf' is not a finite number"},
        {{"--grid", "--sweep", "dfst=0:1:2"},
         "--grid and --sweep each make a sheet of their own; give one"},
        {{"--sweep", "dfst=0:1:2", "--sweep", "dfl=0:1:2"},
         "--sweep is given twice ('dfst=0:1:2', then 'dfl=0:1:2'); a strip steps one input"},
        {{"--set", "diffuse=3", "--sweep", "dfl=0:1:2"},
         "--sweep steps diffuse, which a --set also sets; give one"},
        {{"--sweep", "dfst=0:1:16", "--size", "8192"},
         "the image would be 131072x24576 pixels (3221 M, about 81 GB to render); the limit is "
         "134 M pixels: give a smaller --size"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(usageError(c.arguments), c.message);
    }
}

}  // namespace
}  // namespace lumaveil::preview
