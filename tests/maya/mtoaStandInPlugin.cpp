// Maya's Arnold plug-in (mtoa) as it meets lumaVeil: at load it registers a
// "lumaVeil" node type of its own, with no attributes, unless the lumaVeil
// plug-in registered it first (then it would translate that node instead).
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>

namespace {

class StandInNode : public MPxNode {
public:
    static void* creator() { return new StandInNode; }
    static MStatus initialize() { return MS::kSuccess; }
};

// The Arnold node's maya.id, which mtoa gives the node type it registers.
const unsigned int kArnoldNodeMayaId = 0x34729;
bool registered = false;

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Autodesk", "5.3", "Any");
    if (!MFnPlugin::isNodeRegistered("lumaVeil")) {
        registered = static_cast<bool>(
            plugin.registerNode("lumaVeil", kArnoldNodeMayaId, StandInNode::creator,
                                StandInNode::initialize, MPxNode::kDependNode));
    }
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    if (registered) {
        registered = !plugin.deregisterNode(kArnoldNodeMayaId);
    }
    return MS::kSuccess;
}
