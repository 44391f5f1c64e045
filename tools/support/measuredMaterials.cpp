#include "measuredMaterials.h"

#include <charconv>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "albedoRule.h"
#include "measuredMaterialsData.h"

namespace lumaveil {

namespace {

float parseNumber(std::string_view text) {
    float value = 0.0f;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw std::runtime_error("bad number '" + std::string(text) + "' in the material table");
    }
    return value;
}

std::vector<MeasuredMaterial> parseMeasuredMaterials(std::string_view csv) {
    std::vector<MeasuredMaterial> materials;
    std::istringstream lines{std::string(csv)};
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        std::vector<std::string_view> fields;
        std::string_view rest = line;
        for (std::size_t comma; (comma = rest.find(',')) != std::string_view::npos;) {
            fields.push_back(rest.substr(0, comma));
            rest.remove_prefix(comma + 1);
        }
        fields.push_back(rest);
        if (fields.size() != 11) {
            throw std::runtime_error("material table line has the wrong number of fields: " + line);
        }
        auto triple = [&](std::size_t first) {
            return FloatVector{parseNumber(fields[first]), parseNumber(fields[first + 1]),
                               parseNumber(fields[first + 2])};
        };
        materials.push_back(
            {std::string(fields[0]), triple(1), triple(4), triple(7), parseNumber(fields[10])});
    }
    return materials;
}

}  // namespace

std::span<const MeasuredMaterial> measuredMaterials() {
    static const std::vector<MeasuredMaterial> table = parseMeasuredMaterials(measuredMaterialsCsv);
    return table;
}

const MeasuredMaterial* findMeasuredMaterial(std::string_view name) {
    for (const MeasuredMaterial& material : measuredMaterials()) {
        if (material.name == name) {
            return &material;
        }
    }
    return nullptr;
}

FloatVector reflectanceOf(const MeasuredMaterial& material) {
    FloatVector reflectance;
    for (int k = 0; k < 3; ++k) {
        const double scattering = material.reducedScattering[k];
        const double albedo = scattering / (scattering + material.absorption[k]);
        reflectance[k] = static_cast<float>(albedo_rule::dipoleReflectance(albedo));
    }
    return reflectance;
}

FloatVector measuredValue(const MeasuredMaterial& material, MeasuredQuantity quantity) {
    switch (quantity) {
        case MeasuredQuantity::diffuseReflectance:
            return reflectanceOf(material);
        case MeasuredQuantity::absorption:
            return material.absorption;
        case MeasuredQuantity::reducedScattering:
            return material.reducedScattering;
        case MeasuredQuantity::eta:
            return {material.eta, material.eta, material.eta};
        case MeasuredQuantity::none:
            break;
    }
    throw std::logic_error("a measured material has no value of an unmeasured quantity");
}

void applyMeasuredMaterial(const MeasuredMaterial& material, MaterialSettings& settings) {
    for (const MaterialAttribute& attribute : materialAttributes) {
        if (attribute.measuredQuantity != MeasuredQuantity::none) {
            settings.set(attribute, measuredValue(material, attribute.measuredQuantity));
        }
    }
}

const MaterialAttribute& attributeMeasuredAs(MeasuredQuantity quantity) {
    for (const MaterialAttribute& attribute : materialAttributes) {
        if (attribute.measuredQuantity == quantity) {
            return attribute;
        }
    }
    throw std::logic_error("no attribute takes that measured quantity");
}

}  // namespace lumaveil
