// Base class of the dependency-graph nodes that plug-ins define.
#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>
#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class OPENMAYA_EXPORT MPxNode {
public:
    enum Type {
        kDependNode = 0,
        kLocatorNode,
        kDeformerNode,
        kManipContainer,
        kSurfaceShape,
        kFieldNode,
        kEmitterNode,
        kSpringNode,
        kIkSolverNode,
        kHardwareShader,
        kHwShaderNode,
        kTransformNode,
        kObjectSet,
        kFluidEmitterNode,
        kImagePlaneNode,
        kParticleAttributeMapperNode,
        kCameraSetNode,
        kConstraintNode,
        kManipulatorNode,
        kMotionPathNode,
        kClientDeviceNode,
        kThreadedDeviceNode,
        kLast
    };

    MPxNode();
    virtual ~MPxNode();
    MPxNode(const MPxNode&) = delete;
    MPxNode& operator=(const MPxNode&) = delete;

    virtual void postConstructor();
    virtual MStatus compute(const MPlug& plug, MDataBlock& dataBlock);
    virtual bool getInternalValueInContext(const MPlug& plug, MDataHandle& handle,
                                           MDGContext& context);
    virtual bool setInternalValueInContext(const MPlug& plug, const MDataHandle& handle,
                                           MDGContext& context);
    virtual bool getInternalValue(const MPlug& plug, MDataHandle& handle);
    virtual bool setInternalValue(const MPlug& plug, const MDataHandle& handle);
    virtual int internalArrayCount(const MPlug& plug, const MDGContext& context) const;
    virtual void copyInternalData(MPxNode* source);
    virtual MStatus legalConnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                                    bool& isLegal) const;
    virtual MStatus legalDisconnection(const MPlug& plug, const MPlug& otherPlug, bool asSrc,
                                       bool& isLegal) const;
    virtual MStatus setDependentsDirty(const MPlug& plug, MPlugArray& plugArray);
    virtual MStatus connectionMade(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual MStatus connectionBroken(const MPlug& plug, const MPlug& otherPlug, bool asSrc);
    virtual bool shouldSave(const MPlug& plug, bool& isSaving);
    virtual MPlug passThroughToOne(const MPlug& plug) const;
    virtual bool passThroughToMany(const MPlug& plug, MPlugArray& plugArray) const;
    virtual Type type() const;
    virtual bool isAbstractClass() const;

#if defined(OPENMAYA_MAJOR_NAMESPACE)
    // How Maya may schedule the node's evaluation; kParallel: on several
    // threads at once. The base says kSerial.
    enum SchedulingType { kParallel, kSerial, kGloballySerial, kUntrusted };
    virtual SchedulingType schedulingType() const;

    [[deprecated("Override schedulingType() to set thread safety instead.")]] MStatus setMPSafe(
        bool flag);
#else
    // Declares that compute may run for this node on several threads at once.
    MStatus setMPSafe(bool flag);
#endif

    // Called from a node type's attribute-initialisation function.
    static MStatus addAttribute(const MObject& attribute);
    static MStatus attributeAffects(const MObject& whenChanges, const MObject& isAffected);

private:
    void* instance_ = nullptr;  // the host's record of this node
};
OPENMAYA_NAMESPACE_CLOSE
