// Viewport 2.0's shade fragments and fragment graphs, registered by name from
// their XML. Names are shared between fragments and graphs.
#pragma once

#include <maya/MString.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN
namespace MHWRender {

class OPENMAYARENDER_EXPORT MFragmentManager {
public:
    // Whether a fragment or graph of that name is registered.
    bool hasFragment(const MString& fragmentName) const;
    // Registers the fragment (the graph) that the XML text states and returns
    // its name; an empty string when the XML is malformed or not a fragment
    // (a graph), when the name is taken, or when the graph names a fragment
    // that is not registered. A hidden fragment is left out of Maya's lists.
    MString addShadeFragmentFromBuffer(const char* buffer, bool hidden);
    MString addFragmentGraphFromBuffer(const char* buffer);
    // Removes a fragment or graph; false when none of that name is
    // registered.
    bool removeFragment(const MString& fragmentName);

    MFragmentManager(const MFragmentManager&) = delete;
    MFragmentManager& operator=(const MFragmentManager&) = delete;

private:
    friend class MRenderer;
    MFragmentManager();
    ~MFragmentManager();
};

}  // namespace MHWRender
OPENMAYA_NAMESPACE_CLOSE
