#include "materialSettings.h"

namespace lumaveil {

void MaterialSettings::set(const MaterialAttribute& attribute, FloatVector value) {
    values_[indexOfMaterialInput(attribute)] = value;
}

std::optional<FloatVector> MaterialSettings::get(std::string_view longName) const {
    const MaterialAttribute* attribute = findMaterialAttribute(longName);
    return attribute ? values_[indexOfMaterialInput(*attribute)] : std::nullopt;
}

std::vector<MaterialSettings::Entry> MaterialSettings::entries() const {
    std::vector<Entry> set;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        if (values_[i]) {
            set.push_back({&materialInputAt(i), *values_[i]});
        }
    }
    return set;
}

}  // namespace lumaveil
