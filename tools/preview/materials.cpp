#include "materials.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <functional>
#include <sstream>
#include <stdexcept>

#include "albedoRule.h"
#include "measuredMaterialsData.h"

namespace lumaveil::preview {

namespace {

// Node attributes first, then the renderer-only ones.
std::size_t indexOf(const MaterialAttribute& attribute) {
    const auto* node = materialAttributes.data();
    const std::less<const MaterialAttribute*> before;
    if (!before(&attribute, node) && before(&attribute, node + materialAttributes.size())) {
        return static_cast<std::size_t>(&attribute - node);
    }
    return materialAttributes.size() +
           static_cast<std::size_t>(&attribute - rendererOnlyAttributes.data());
}

const MaterialAttribute& attributeAt(std::size_t index) {
    return index < materialAttributes.size()
               ? materialAttributes[index]
               : rendererOnlyAttributes[index - materialAttributes.size()];
}

// Edit distance, ignoring case, for suggesting names.
std::size_t editDistance(std::string_view a, std::string_view b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

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

const MaterialAttribute* findMaterialAttribute(std::string_view name) {
    for (std::size_t i = 0; i < materialAttributes.size() + rendererOnlyAttributes.size(); ++i) {
        const MaterialAttribute& attribute = attributeAt(i);
        if (!name.empty() && (attribute.longName == name || attribute.shortName == name)) {
            return &attribute;
        }
    }
    return nullptr;
}

const RendererOnlyParameter* findRendererOnlyParameter(std::string_view name) {
    for (const RendererOnlyParameter& parameter : rendererOnlyParameters) {
        if (parameter.name == name) {
            return &parameter;
        }
    }
    return nullptr;
}

std::vector<std::string_view> nearestAttributeNames(std::string_view name) {
    // Only near misses: a typo or two, never a name that shares little with
    // what was typed ("foo" is near nothing).
    const std::size_t allowed = std::clamp<std::size_t>(name.size() / 3, 1, 3);
    std::vector<std::pair<std::size_t, std::string_view>> ranked;
    for (std::size_t i = 0; i < materialAttributes.size() + rendererOnlyAttributes.size(); ++i) {
        const MaterialAttribute& attribute = attributeAt(i);
        const std::size_t distance = std::min(editDistance(name, attribute.longName),
                                              editDistance(name, attribute.shortName));
        if (distance <= allowed && distance < name.size()) {
            ranked.emplace_back(distance, attribute.longName);
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string_view> nearest;
    for (const auto& [distance, longName] : ranked) {
        if (nearest.size() == 3) {
            break;
        }
        nearest.push_back(longName);
    }
    return nearest;
}

void MaterialSettings::set(const MaterialAttribute& attribute, FloatVector value) {
    values_[indexOf(attribute)] = value;
}

std::optional<FloatVector> MaterialSettings::get(std::string_view longName) const {
    const MaterialAttribute* attribute = findMaterialAttribute(longName);
    return attribute ? values_[indexOf(*attribute)] : std::nullopt;
}

std::vector<MaterialSettings::Entry> MaterialSettings::entries() const {
    std::vector<Entry> set;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (values_[i]) {
            set.push_back({&attributeAt(i), *values_[i]});
        }
    }
    return set;
}

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

void applyMeasuredMaterial(const MeasuredMaterial& material, MaterialSettings& settings) {
    settings.set(*findMaterialAttribute("color"), reflectanceOf(material));
    settings.set(*findMaterialAttribute("scattering"), material.reducedScattering);
    settings.set(*findMaterialAttribute("absorption"), material.absorption);
    const float eta = material.refractiveIndex;
    settings.set(*findMaterialAttribute("refractiveIndex"), {eta, eta, eta});
}

}  // namespace lumaveil::preview
