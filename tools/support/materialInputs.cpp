#include "materialInputs.h"

#include <algorithm>
#include <cctype>
#include <functional>

namespace lumaveil {

namespace {

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

}  // namespace

bool isNodeAttribute(const MaterialAttribute& input) {
    const std::less<const MaterialAttribute*> before;
    return !before(&input, materialAttributes.data()) &&
           before(&input, materialAttributes.data() + materialAttributes.size());
}

bool isDirection(const MaterialAttribute& input) {
    const RendererOnlyParameter* parameter =
        isNodeAttribute(input) ? nullptr : findRendererOnlyParameter(input.longName);
    return parameter && parameter->type == "vector";
}

std::size_t indexOfMaterialInput(const MaterialAttribute& input) {
    return isNodeAttribute(input)
               ? static_cast<std::size_t>(&input - materialAttributes.data())
               : materialAttributes.size() +
                     static_cast<std::size_t>(&input - rendererOnlyAttributes.data());
}

const MaterialAttribute& materialInputAt(std::size_t index) {
    return index < materialAttributes.size()
               ? materialAttributes[index]
               : rendererOnlyAttributes[index - materialAttributes.size()];
}

const MaterialAttribute* findMaterialAttribute(std::string_view name) {
    for (std::size_t i = 0; i < materialInputCount; ++i) {
        const MaterialAttribute& attribute = materialInputAt(i);
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
    for (std::size_t i = 0; i < materialInputCount; ++i) {
        const MaterialAttribute& attribute = materialInputAt(i);
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

}  // namespace lumaveil
