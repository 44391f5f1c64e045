// Writes one Maya attribute preset per measured material into a folder:
//     generate-attr-presets <folder>
// The folder is created if needed; presets left there from an earlier table
// are removed, so the folder holds exactly the table's materials.
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>

#include "measuredMaterials.h"
#include "numberText.h"

namespace fs = std::filesystem;
using namespace lumaveil;

namespace {

// A material name becomes a file name and a preset name in Maya's menus.
bool isPresetName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (const char c : name) {
        const bool letterOrDigit =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!letterOrDigit && c != '_') {
            return false;
        }
    }
    return true;
}

std::string presetText(const MeasuredMaterial& material) {
    MaterialSettings settings;
    applyMeasuredMaterial(material, settings);

    std::string text = "// lumaVeil attribute preset: measured material \"" + material.name +
                       "\" (Jensen et al. 2001).\n";
    text += "startAttrPreset( \"lumaVeil\" );\n";
    // A colour is set child by child, a scalar as itself.
    for (const MaterialSettings::Entry& entry : settings.entries()) {
        const MaterialAttribute& attribute = *entry.attribute;
        for (int k = 0; k < attribute.components; ++k) {
            const std::string_view name =
                attribute.isColour() ? attribute.childLongNames[k] : attribute.longName;
            text +=
                "blendAttr \"" + std::string(name) + "\" " + shortestText(entry.value[k]) + ";\n";
        }
    }
    text += "endAttrPreset();\n";
    return text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate-attr-presets <folder>\n";
        return 2;
    }
    try {
        const fs::path folder = argv[1];
        fs::create_directories(folder);
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file() && entry.path().extension() == ".mel") {
                fs::remove(entry.path());
            }
        }
        for (const MeasuredMaterial& material : measuredMaterials()) {
            if (!isPresetName(material.name)) {
                std::cerr << "generate-attr-presets: material name '" << material.name
                          << "' is not usable as a preset name\n";
                return 1;
            }
            const fs::path path = folder / (material.name + ".mel");
            std::ofstream out(path, std::ios::binary);
            out << presetText(material);
            out.close();
            if (!out) {
                std::cerr << "generate-attr-presets: cannot write " << path.string() << "\n";
                return 1;
            }
        }
    } catch (const std::exception& error) {
        std::cerr << "generate-attr-presets: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
