// OpenMayaRender: attribute-to-parameter mappings and their list.
#include <maya/MAttributeParameterMapping.h>

#include <vector>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

MAttributeParameterMapping::MAttributeParameterMapping(const MString& parameterName,
                                                       const MString& attributeName,
                                                       bool allowConnection, bool allowRename)
    : parameterName_(parameterName),
      attributeName_(attributeName),
      allowConnection_(allowConnection),
      allowRename_(allowRename) {}
MAttributeParameterMapping::MAttributeParameterMapping(const MAttributeParameterMapping&) = default;
MAttributeParameterMapping& MAttributeParameterMapping::operator=(
    const MAttributeParameterMapping&) = default;
MAttributeParameterMapping::~MAttributeParameterMapping() = default;

const MString& MAttributeParameterMapping::parameterName() const {
    return parameterName_;
}
const MString& MAttributeParameterMapping::attributeName() const {
    return attributeName_;
}
bool MAttributeParameterMapping::allowConnection() const {
    return allowConnection_;
}
bool MAttributeParameterMapping::allowRename() const {
    return allowRename_;
}

struct MAttributeParameterMappingList::Mappings {
    std::vector<MAttributeParameterMapping> items;
};

MAttributeParameterMappingList::MAttributeParameterMappingList() : mappings_(new Mappings) {}
MAttributeParameterMappingList::~MAttributeParameterMappingList() {
    delete mappings_;
}

unsigned int MAttributeParameterMappingList::length() const {
    return static_cast<unsigned int>(mappings_->items.size());
}

const MAttributeParameterMapping* MAttributeParameterMappingList::getByIndex(
    unsigned int index) const {
    return index < mappings_->items.size() ? &mappings_->items[index] : nullptr;
}

const MAttributeParameterMapping* MAttributeParameterMappingList::findByParameterName(
    const MString& parameterName) const {
    for (const MAttributeParameterMapping& mapping : mappings_->items) {
        if (mapping.parameterName() == parameterName) {
            return &mapping;
        }
    }
    return nullptr;
}

void MAttributeParameterMappingList::append(const MAttributeParameterMapping& mapping) {
    mappings_->items.push_back(mapping);
}

void MAttributeParameterMappingList::clear() {
    mappings_->items.clear();
}

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
