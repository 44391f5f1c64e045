// A node type's value layout, fixed once its initialisation function has
// run: every value's slot, the defaults of a new node and of a new array
// element, and which outputs each input makes dirty.
#include <algorithm>
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
        case AttributeKind::LightData: {
            for (const Attribute* child : a->children) {
                writeDefault(child, base);
            }
            const auto& d = a->info.defaults;
            if (d.size() == 11 && a->children.size() == 8) {
                const auto& c = a->children;
                auto f = [&](int i) { return static_cast<float>(d[static_cast<std::size_t>(i)]); };
                if (c[0]->slot >= 0) {
                    base[c[0]->slot].vec = MFloatVector(f(0), f(1), f(2));
                }
                if (c[1]->slot >= 0) {
                    base[c[1]->slot].vec = MFloatVector(f(3), f(4), f(5));
                }
                for (int i = 0; i < 3; ++i) {
                    if (c[2 + i]->slot >= 0) {
                        base[c[2 + i]->slot].flag = d[static_cast<std::size_t>(6 + i)] != 0.0;
                    }
                }
                if (c[5]->slot >= 0) {
                    base[c[5]->slot].vec.x = f(9);
                }
                if (c[6]->slot >= 0) {
                    base[c[6]->slot].vec.x = f(10);
                }
                if (c[7]->slot >= 0) {
                    base[c[7]->slot].addr = a->defaultAddress;
                }
            }
            break;
        }
    }
}

}  // namespace
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
        if (a->info.kind == AttributeKind::LightData && a->info.array && a->children.size() == 8) {
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
