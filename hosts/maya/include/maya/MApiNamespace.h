// Where the API's classes live. Devkits from 2019 on declare every class in
// a namespace named for the API's major version, and bring the names back to
// global scope with the using-declarations below: a plug-in's imports then
// carry the version in their mangled names, so it binds to one Maya major
// version. Older devkits declare the classes at global scope.
#pragma once

#include <maya/MTypes.h>

#if defined(OPENMAYA_MAJOR_NAMESPACE)
#define OPENMAYA_MAJOR_NAMESPACE_OPEN \
    namespace Autodesk {              \
    namespace Maya {                  \
    namespace OPENMAYA_MAJOR_NAMESPACE {
#define OPENMAYA_NAMESPACE_CLOSE \
    }                            \
    }                            \
    }
#else
#define OPENMAYA_MAJOR_NAMESPACE_OPEN
#define OPENMAYA_NAMESPACE_CLOSE
#endif

OPENMAYA_MAJOR_NAMESPACE_OPEN
class MArrayDataHandle;
class MDataBlock;
class MDataHandle;
class MDGContext;
class MFloatVector;
class MFnAttribute;
class MFnLightDataAttribute;
class MFnNumericAttribute;
class MFnNumericData;
class MFnPlugin;
class MGlobal;
class MObject;
class MPlug;
class MPlugArray;
class MPxNode;
class MStatus;
class MString;
class MTypeId;
namespace MS {}
typedef void* (*MCreatorFunction)();
typedef MStatus (*MInitializeFunction)();
#if MAYA_API_VERSION >= 201600
// Viewport 2.0 (OpenMayaRender), from the devkit of Maya 2016 on.
namespace MHWRender {
class MAttributeParameterMapping;
class MAttributeParameterMappingList;
class MDrawRegistry;
class MPxShadingNodeOverride;
class MPxSurfaceShadingNodeOverride;
class MShaderInstance;
}  // namespace MHWRender
#endif
OPENMAYA_NAMESPACE_CLOSE

#if defined(OPENMAYA_MAJOR_NAMESPACE)
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MArrayDataHandle;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MCreatorFunction;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MDataBlock;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MDataHandle;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MDGContext;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MFloatVector;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MFnAttribute;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MFnLightDataAttribute;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MFnNumericAttribute;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MFnNumericData;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MFnPlugin;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MGlobal;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MInitializeFunction;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MObject;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MPlug;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MPlugArray;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MPxNode;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MStatus;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MString;
using Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MTypeId;
namespace MS = Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MS;
namespace MHWRender = Autodesk::Maya::OPENMAYA_MAJOR_NAMESPACE::MHWRender;
#endif
