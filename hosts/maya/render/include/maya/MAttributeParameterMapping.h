// How a node's attribute feeds a parameter of the shade fragment that draws
// the node in Viewport 2.0, and the list an override fills with them.
#pragma once

#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

class OPENMAYARENDER_EXPORT MAttributeParameterMapping {
public:
    // The fragment parameter `parameterName` takes the value of the node's
    // attribute `attributeName`; allowConnection lets a connection to the
    // attribute feed the parameter too, allowRename lets Viewport 2.0 rename
    // the parameter when it joins fragments.
    MAttributeParameterMapping(const MString& parameterName, const MString& attributeName,
                               bool allowConnection, bool allowRename);
    MAttributeParameterMapping(const MAttributeParameterMapping& other);
    MAttributeParameterMapping& operator=(const MAttributeParameterMapping& other);
    ~MAttributeParameterMapping();

    const MString& parameterName() const;
    const MString& attributeName() const;
    bool allowConnection() const;
    bool allowRename() const;

private:
    MString parameterName_;
    MString attributeName_;
    bool allowConnection_;
    bool allowRename_;
};

class OPENMAYARENDER_EXPORT MAttributeParameterMappingList {
public:
    MAttributeParameterMappingList();
    ~MAttributeParameterMappingList();
    MAttributeParameterMappingList(const MAttributeParameterMappingList&) = delete;
    MAttributeParameterMappingList& operator=(const MAttributeParameterMappingList&) = delete;

    unsigned int length() const;
    // Null past the end.
    const MAttributeParameterMapping* getByIndex(unsigned int index) const;
    // Null when no mapping names the parameter.
    const MAttributeParameterMapping* findByParameterName(const MString& parameterName) const;
    void append(const MAttributeParameterMapping& mapping);
    void clear();

private:
    struct Mappings;
    Mappings* mappings_;
};

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
