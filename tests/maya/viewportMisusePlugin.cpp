// A plug-in that gets Viewport 2.0 wrong, for the stand-in's checks: it
// registers an override for a draw classification that none of its node
// types has, then one that maps a fragment parameter to an attribute its node
// lacks, and never deregisters it.
#include <maya/MDrawRegistry.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnPlugin.h>
#include <maya/MPxNode.h>
#include <maya/MPxSurfaceShadingNodeOverride.h>

namespace {

class MisuseNode : public MPxNode {
public:
    static void* creator() { return new MisuseNode; }
    static MStatus initialize() {
        MFnNumericAttribute numeric;
        return addAttribute(numeric.create("diffuse", "dc", MFnNumericData::kFloat, 0.8));
    }
};

class MisuseOverride : public MHWRender::MPxSurfaceShadingNodeOverride {
public:
    static MHWRender::MPxSurfaceShadingNodeOverride* creator(const MObject& obj) {
        return new MisuseOverride(obj);
    }
    MString fragmentName() const override { return "mayaLambertSurface"; }
    void getCustomMappings(MHWRender::MAttributeParameterMappingList& mappings) override {
        mappings.append(MHWRender::MAttributeParameterMapping("color", "missingColor", true, true));
    }

private:
    explicit MisuseOverride(const MObject& obj) : MPxSurfaceShadingNodeOverride(obj) {}
};

const unsigned int kMisuseId = 0x7f001;

}  // namespace

PLUGIN_EXPORT MStatus initializePlugin(MObject obj) {
    MFnPlugin plugin(obj, "Test", "1.0", "Any");
    const MString classification("shader/surface:drawdb/shader/surface/misuse");
    plugin.registerNode("misuse", kMisuseId, MisuseNode::creator, MisuseNode::initialize,
                        MPxNode::kDependNode, &classification);
    MHWRender::MDrawRegistry::registerSurfaceShadingNodeOverrideCreator(
        "drawdb/shader/surface/elsewhere", "misuse", MisuseOverride::creator);
    MHWRender::MDrawRegistry::registerSurfaceShadingNodeOverrideCreator(
        "drawdb/shader/surface/misuse", "misuse", MisuseOverride::creator);
    return MS::kSuccess;
}

PLUGIN_EXPORT MStatus uninitializePlugin(MObject obj) {
    MFnPlugin plugin(obj);
    plugin.deregisterNode(kMisuseId);
    return MS::kSuccess;
}
