// A node type's value layout, fixed once its initialisation function has
// run: every value's slot, the defaults of a new node and of a new array
// element, and which outputs each input makes dirty.
#include <algorithm>
#include <array>
#include <vector>

#include "hostRecords.h"

namespace mayahost {

using detail::Attribute;
using detail::NodeType;
using detail::Slot;

namespace detail {

Attribute* NodeType::find(std::string_view name) const {
    for (Attribute* a : attributes) {
        if (a->info.longName == name || a->info.shortName == name) {
            return a;
        }
    }
    return nullptr;
}

namespace {

bool isDescendant(const Attribute* a, const Attribute* ancestor) {
    for (const Attribute* p = a->parent; p != nullptr; p = p->parent) {
        if (p == ancestor) {
            return true;
        }
    }
    return false;
}

// Gives every value under `a` a slot: a float triple one slot whose children
// are its components, other leaves one slot each, a light-data compound none
// of its own.
void layout(Attribute* a, int array, int& next) {
    a->array = array;
    switch (a->info.kind) {
        case AttributeKind::NumericCompound:
            a->slot = next++;
            for (std::size_t i = 0; i < a->children.size(); ++i) {
                a->children[i]->array = array;
                a->children[i]->slot = a->slot;
                a->children[i]->component = static_cast<int>(i);
            }
            break;
        case AttributeKind::LightData:
            a->slot = -1;
            for (Attribute* child : a->children) {
                layout(child, array, next);
            }
            break;
        default:
            a->slot = next++;
            break;
    }
}

// The eleven numbers of a light-data default, in the order of
// MFnLightDataAttribute::setDefault's arguments, and its blind data.
LightValues lightDataDefault(const Attribute& a) {
    const std::vector<double>& d = a.info.defaults;
    auto f = [&](std::size_t i) { return static_cast<float>(d[i]); };
    LightValues values;
    values.direction = {f(0), f(1), f(2)};
    values.intensity = {f(3), f(4), f(5)};
    values.ambient = d[6] != 0.0;
    values.diffuse = d[7] != 0.0;
    values.specular = d[8] != 0.0;
    values.shadowFraction = f(9);
    values.preShadowIntensity = f(10);
    values.blindData = a.defaultAddress;
    return values;
}

double leafDefault(const Attribute* a) {
    return a->info.defaults.empty() ? a->info.creationDefault : a->info.defaults[0];
}

// Writes the default of `a` into the slots `base`. A default set on a
// compound overrides its children's.
void writeDefault(const Attribute* a, Slot* base) {
    switch (a->info.kind) {
        case AttributeKind::Numeric: {
            Slot& s = base[a->slot];
            const double v = leafDefault(a);
            if (a->component >= 0) {
                s.vec[static_cast<unsigned int>(a->component)] = static_cast<float>(v);
            } else if (a->info.numericType == MFnNumericData::kBoolean) {
                s.flag = v != 0.0;
            } else {
                s.vec.x = static_cast<float>(v);
            }
            break;
        }
        case AttributeKind::NumericCompound:
            for (const Attribute* child : a->children) {
                writeDefault(child, base);
            }
            if (a->info.defaults.size() == 3) {
                base[a->slot].vec = MFloatVector(static_cast<float>(a->info.defaults[0]),
                                                 static_cast<float>(a->info.defaults[1]),
                                                 static_cast<float>(a->info.defaults[2]));
            }
            break;
        case AttributeKind::Address:
            base[a->slot].addr = a->info.defaults.empty() && a->defaultAddress == nullptr
                                     ? a->creationAddress
                                     : a->defaultAddress;
            break;
        case AttributeKind::LightData:
            for (const Attribute* child : a->children) {
                writeDefault(child, base);
            }
            if (a->info.defaults.size() == 11) {
                writeLightElement(*a, base, lightDataDefault(*a));
            }
            break;
    }
}

}  // namespace

void writeLightElement(const Attribute& lightData, Slot* element, const LightValues& values) {
    if (lightData.children.size() != lightDataChildCount) {
        return;
    }
    auto slot = [&](LightDataChild child) -> Slot* {
        const int s = lightData.children[static_cast<std::size_t>(child)]->slot;
        return s >= 0 ? element + s : nullptr;
    };
    auto vector = [](const std::array<float, 3>& v) { return MFloatVector(v[0], v[1], v[2]); };
    if (Slot* s = slot(LightDataChild::direction)) {
        s->vec = vector(values.direction);
    }
    if (Slot* s = slot(LightDataChild::intensity)) {
        s->vec = vector(values.intensity);
    }
    if (Slot* s = slot(LightDataChild::ambient)) {
        s->flag = values.ambient;
    }
    if (Slot* s = slot(LightDataChild::diffuse)) {
        s->flag = values.diffuse;
    }
    if (Slot* s = slot(LightDataChild::specular)) {
        s->flag = values.specular;
    }
    if (Slot* s = slot(LightDataChild::shadowFraction)) {
        s->vec.x = values.shadowFraction;
    }
    if (Slot* s = slot(LightDataChild::preShadowIntensity)) {
        s->vec.x = values.preShadowIntensity;
    }
    if (Slot* s = slot(LightDataChild::blindData)) {
        s->addr = values.blindData;
    }
}

}  // namespace detail

// After initialize: the type's attributes are those added and everything
// below them; values are laid out, defaults and dirty propagation fixed.
void Host::Impl::finalizeType(NodeType& type) {
    std::vector<Attribute*>& all = type.attributes;
    auto include = [&](auto&& self, Attribute* a) -> void {
        if (std::find(all.begin(), all.end(), a) == all.end()) {
            all.push_back(a);
        }
        for (Attribute* child : a->children) {
            self(self, child);
        }
    };
    for (Attribute* a : type.added) {
        include(include, a);
    }
    std::sort(all.begin(), all.end(), [](const Attribute* a, const Attribute* b) {
        return a->creationIndex < b->creationIndex;
    });

    auto inType = [&](const Attribute* a) {
        return a != nullptr && std::find(all.begin(), all.end(), a) != all.end();
    };
    int nodeSlots = 0;
    for (Attribute* a : all) {
        a->nodeType = &type;
        if (inType(a->parent)) {
            continue;
        }
        if (a->info.array) {
            detail::ArrayLayout array;
            array.attribute = a;
            const int index = static_cast<int>(type.arrays.size());
            detail::layout(a, index, array.stride);
            array.elementDefault.resize(static_cast<std::size_t>(array.stride));
            detail::writeDefault(a, array.elementDefault.data());
            type.arrays.push_back(std::move(array));
        } else {
            detail::layout(a, -1, nodeSlots);
        }
    }
    type.nodeDefault.resize(static_cast<std::size_t>(nodeSlots));
    for (Attribute* a : all) {
        if (!inType(a->parent) && !a->info.array) {
            detail::writeDefault(a, type.nodeDefault.data());
        }
    }

    for (Attribute* a : all) {
        a->affectedSlots.clear();
        for (const auto& [input, output] : type.affects) {
            const bool related =
                input == a || detail::isDescendant(a, input) || detail::isDescendant(input, a);
            if (related && output->array < 0 && output->slot >= 0 &&
                std::find(a->affectedSlots.begin(), a->affectedSlots.end(), output->slot) ==
                    a->affectedSlots.end()) {
                a->affectedSlots.push_back(output->slot);
            }
        }
    }

    for (Attribute* a : all) {
        type.info.attributes.push_back(a->info);
    }
    for (Attribute* a : type.added) {
        type.info.addedAttributes.push_back(a->info.longName);
    }
    for (const auto& [input, output] : type.affects) {
        type.info.affects.emplace_back(input->info.longName, output->info.longName);
    }

    type.pointCamera = type.find("pointCamera");
    type.normalCamera = type.find("normalCamera");
    type.rayDirection = type.find("rayDirection");
    for (Attribute* a : all) {
        if (a->info.kind == AttributeKind::LightData && a->info.array &&
            a->children.size() == detail::lightDataChildCount) {
            type.lightArray = a;
            break;
        }
    }
    type.lightElementAffectedSlots.clear();
    if (const Attribute* lights = type.lightArray) {
        std::vector<int>& slots = type.lightElementAffectedSlots;
        auto gather = [&](const Attribute* a) {
            for (int slot : a->affectedSlots) {
                if (std::find(slots.begin(), slots.end(), slot) == slots.end()) {
                    slots.push_back(slot);
                }
            }
        };
        for (const Attribute* child : lights->children) {
            gather(child);
        }
        gather(lights);
    }
}

}  // namespace mayahost
