// Every editable attribute by its literal name, bound to the model's field by
// this header's own statement rather than by the attribute table, and a
// material in which each field holds a value no other field of its kind holds.
// A host that sets these names and shades must give the reference's colour
// for these fields: one whose table binds a name to another field, or two
// rows to each other's fields, gives another.
#pragma once

#include <iterator>
#include <string_view>

#include "model/FloatVector.h"
#include "model/materialAttributes.h"
#include "model/shading.h"

namespace lumaveil::test {

struct NamedField {
    std::string_view name;
    FloatVector ShadingInputs::*colour = nullptr;
    float ShadingInputs::*scalar = nullptr;
    // The mental ray shader has a parameter of the same name and role.
    bool inMentalRay = true;
};

inline constexpr NamedField namedFields[] = {
    {"color", &ShadingInputs::color},
    {"transparency", &ShadingInputs::transparency, nullptr, false},
    {"ambientColor", &ShadingInputs::ambientColor},
    {"incandescence", &ShadingInputs::incandescence},
    {"diffuse", nullptr, &ShadingInputs::diffuse},
    {"absorption", &ShadingInputs::absorption},
    {"scattering", &ShadingInputs::scattering},
    {"refractiveIndex", nullptr, &ShadingInputs::refractiveIndex},
    {"anisotropy", nullptr, &ShadingInputs::anisotropy},
    {"diffuseReflection", nullptr, &ShadingInputs::diffuseReflection},
    {"diffuseAnisotropy", nullptr, &ShadingInputs::diffuseAnisotropy},
    {"diffuseScatter", nullptr, &ShadingInputs::diffuseScatter},
    {"eccentricity", nullptr, &ShadingInputs::eccentricity},
    {"specularRollOff", nullptr, &ShadingInputs::specularRollOff},
    {"specularColor", &ShadingInputs::specularColor},
};

// Each field away from its default and from every other field of its kind,
// each channel of a colour from the others.
inline ShadingInputs namedMaterial() {
    ShadingInputs in;
    in.color = {0.62f, 0.47f, 0.33f};
    in.transparency = {0.12f, 0.21f, 0.07f};
    in.ambientColor = {0.09f, 0.15f, 0.05f};
    in.incandescence = {0.03f, 0.06f, 0.11f};
    in.diffuse = 0.65f;
    in.absorption = {0.9f, 0.35f, 1.6f};
    in.scattering = {1.3f, 2.2f, 0.45f};
    in.refractiveIndex = 1.45f;
    in.anisotropy = 0.35f;
    in.diffuseReflection = 3.5f;
    in.diffuseAnisotropy = -0.3f;
    in.diffuseScatter = 1.6f;
    in.eccentricity = 0.3f;
    in.specularRollOff = 0.45f;
    in.specularColor = {0.85f, 0.55f, 0.25f};
    return in;
}

// The field's value in `in`: a colour's, or a scalar's in x.
inline FloatVector namedValue(const ShadingInputs& in, const NamedField& field) {
    return field.colour ? in.*field.colour : FloatVector{in.*field.scalar, 0.0f, 0.0f};
}

// Each row of the table has its name here, and nothing else is here: a new
// attribute needs its line above and its value in namedMaterial().
inline bool everyRowIsNamed() {
    if (std::size(namedFields) != materialAttributes.size()) {
        return false;
    }
    for (const MaterialAttribute& a : materialAttributes) {
        bool named = false;
        for (const NamedField& field : namedFields) {
            named = named || field.name == a.longName;
        }
        if (!named) {
            return false;
        }
    }
    return true;
}

}  // namespace lumaveil::test
