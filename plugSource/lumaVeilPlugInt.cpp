// The lumaVeil node class: its factory and its schema. The editable
// attributes are created from lumaveil::materialAttributes; the outputs, the
// sample geometry and the light data from the small tables in initialize.
#include "lumaVeilPlugInt.h"
#include "lumaVeilMaterialHandles.h"

#include <maya/MFnLightDataAttribute.h>
#include <maya/MFnNumericAttribute.h>
#include <maya/MFnNumericData.h>
#include <maya/MStatus.h>

#include <array>
#include <cstddef>
#include <cstdio>
#include <iterator>

#include "model/materialAttributes.h"
#include "model/nodeType.h"

MTypeId lumaVeil::id(lumaveil::nodeTypeId);

lumaVeil::lumaVeil() = default;
lumaVeil::~lumaVeil() = default;

void* lumaVeil::creator() {
    return new lumaVeil();
}

#if MAYA_API_VERSION >= 20190000
MPxNode::SchedulingType lumaVeil::schedulingType() const {
    return kParallel;
}
#else
void lumaVeil::postConstructor() {
    setMPSafe(true);
}
#endif

namespace {

using lumaveil::MaterialAttribute;
using lumaveil::materialAttributes;

struct NamedHandle {
    MObject* handle;
    const char* longName;
    const char* shortName;
};

// A float triple: its compound and its three children.
struct Float3 {
    NamedHandle compound;
    NamedHandle children[3];
};

// Creates the three children, each at its creation default, then their
// compound; the function set is left on the compound.
void createFloat3(MFnNumericAttribute& nAttr, const Float3& triple,
                  const std::array<double, 3>& childDefaults) {
    for (int k = 0; k < 3; ++k) {
        const NamedHandle& child = triple.children[k];
        *child.handle =
            nAttr.create(child.longName, child.shortName, MFnNumericData::kFloat, childDefaults[k]);
    }
    const NamedHandle& compound = triple.compound;
    *compound.handle =
        nAttr.create(compound.longName, compound.shortName, *triple.children[0].handle,
                     *triple.children[1].handle, *triple.children[2].handle);
}

// An attribute the user edits and keys: created, then its flags, default and
// ranges, the soft minimum before the hard one.
void createInput(MFnNumericAttribute& nAttr, const MaterialAttribute& a, const MaterialHandles& h) {
    const std::array<float, 3>& d = a.defaultValue;
    if (a.isColour()) {
        Float3 triple{{h.attribute, a.longName.data(), a.shortName.data()}, {}};
        for (int k = 0; k < 3; ++k) {
            triple.children[k] = {h.children[k], a.childLongNames[k].data(),
                                  a.childShortNames[k].data()};
        }
        createFloat3(nAttr, triple, {d[0], d[1], d[2]});  // children at the colour's default
    } else {
        // Created at 0, then given its default: the sequence Maya has always
        // had from this node. A new node holds setDefault's value.
        *h.attribute =
            nAttr.create(a.longName.data(), a.shortName.data(), MFnNumericData::kFloat, 0.0);
    }
    nAttr.setKeyable(a.keyable);
    nAttr.setStorable(a.storable);
    if (a.isColour()) {
        nAttr.setDefault(d[0], d[1], d[2]);
        nAttr.setUsedAsColor(true);
    } else {
        nAttr.setDefault(d[0]);
    }
    if (a.softMin) {
        nAttr.setSoftMin(*a.softMin);
    }
    if (a.hardMin) {
        nAttr.setMin(*a.hardMin);
    }
    if (a.softMax) {
        nAttr.setSoftMax(*a.softMax);
    }
}

void makeOutput(MFnNumericAttribute& nAttr) {
    nAttr.setHidden(false);
    nAttr.setReadable(true);
    nAttr.setWritable(false);
}

// The per-sample vectors the renderer supplies.
void makeSampleGeometry(MFnNumericAttribute& nAttr) {
    nAttr.setStorable(false);
    nAttr.setDefault(1.0f, 1.0f, 1.0f);
    nAttr.setHidden(true);
}

// A failing step of the light-data block: one report, then Maya's own text
// for the status. C's unbuffered stderr keeps the plug-in free of C++ streams
// and their static initialiser.
void check(const MStatus& status, int line) {
    if (!status) {
        std::fprintf(stderr, "\nAPI error detected in %s at line %d\n", __FILE__, line);
        status.perror("");
    }
}

// A child of the light-data compound, written on a line of its own in
// initialize: every step on it is reported at that line.
struct LightMember {
    enum Kind { component, float3, boolean, scalar, address };
    MObject* handle;
    const char* longName;
    const char* shortName;
    Kind kind;  // a float3's children are the three members before it
    float defaultValue;
    int line;
};

void createLightMember(MFnNumericAttribute& nAttr, const LightMember* member) {
    const LightMember& m = *member;
    MStatus status;
    if (m.kind == LightMember::float3) {
        *m.handle = nAttr.create(m.longName, m.shortName, *member[-3].handle, *member[-2].handle,
                                 *member[-1].handle, &status);
    } else if (m.kind == LightMember::address) {
        *m.handle = nAttr.createAddr(m.longName, m.shortName, nullptr, &status);
    } else {
        const auto type =
            m.kind == LightMember::boolean ? MFnNumericData::kBoolean : MFnNumericData::kFloat;
        *m.handle = nAttr.create(m.longName, m.shortName, type, 0.0, &status);
    }
    check(status, m.line);
    check(nAttr.setStorable(false), m.line);
    check(nAttr.setHidden(true), m.line);
    check(nAttr.setReadable(true), m.line);
    check(nAttr.setWritable(false), m.line);
    const float v = m.defaultValue;
    if (m.kind == LightMember::float3) {
        check(nAttr.setDefault(v, v, v), m.line);
    } else if (m.kind == LightMember::boolean) {
        check(nAttr.setDefault(v != 0.0f), m.line);
    } else if (m.kind != LightMember::address) {  // the blind data has no default
        check(nAttr.setDefault(v), m.line);
    }
}

// The array of light-data compounds; each of its steps is reported at `line`.
void createLightArray(MFnLightDataAttribute& lAttr, int line) {
    MStatus status;
    lumaVeil::aLightData =
        lAttr.create("lightDataArray", "ltd", lumaVeil::aLightDirection, lumaVeil::aLightIntensity,
                     lumaVeil::aLightAmbient, lumaVeil::aLightDiffuse, lumaVeil::aLightSpecular,
                     lumaVeil::aLightShadowFraction, lumaVeil::aPreShadowIntensity,
                     lumaVeil::aLightBlindData, &status);
    check(status, line);
    check(lAttr.setArray(true), line);
    check(lAttr.setStorable(false), line);
    check(lAttr.setHidden(true), line);
    check(lAttr.setDefault(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, true, true, false, 1.0f, 1.0f,
                           nullptr),
          line);
}

}  // namespace

MStatus lumaVeil::initialize() {
    MFnNumericAttribute nAttr;
    MFnLightDataAttribute lAttr;

    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        createInput(nAttr, materialAttributes[i], materialHandles[i]);
    }

    const Float3 outputs[] = {
        {{&aOutColor, "outColor", "oc"},
         {{&aOutColorR, "outColorR", "ocr"},
          {&aOutColorG, "outColorG", "ocg"},
          {&aOutColorB, "outColorB", "ocb"}}},
        {{&aOutTransparency, "outTransparency", "ot"},
         {{&aOutTransparencyR, "outTransparencyR", "otr"},
          {&aOutTransparencyG, "outTransparencyG", "otg"},
          {&aOutTransparencyB, "outTransparencyB", "otb"}}},
    };
    for (const Float3& output : outputs) {
        createFloat3(nAttr, output, {0.0, 0.0, 0.0});
        makeOutput(nAttr);
    }
    const Float3 sampleGeometry[] = {
        {{&aPointCamera, "pointCamera", "pc"},
         {{&aPointCameraX, "pointCameraX", "px"},
          {&aPointCameraY, "pointCameraY", "py"},
          {&aPointCameraZ, "pointCameraZ", "pz"}}},
        {{&aNormalCamera, "normalCamera", "n"},
         {{&aNormalCameraX, "normalCameraX", "nx"},
          {&aNormalCameraY, "normalCameraY", "ny"},
          {&aNormalCameraZ, "normalCameraZ", "nz"}}},
        {{&aRayDirection, "rayDirection", "rad"},
         {{&aRayDirectionX, "rayDirectionX", "rdx"},
          {&aRayDirectionY, "rayDirectionY", "rdy"},
          {&aRayDirectionZ, "rayDirectionZ", "rdz"}}},
    };
    for (const Float3& vector : sampleGeometry) {
        createFloat3(nAttr, vector, {1.0, 1.0, 1.0});
        makeSampleGeometry(nAttr);
    }

    // Only the light-data block checks its steps and reports failures, as the
    // node always has; the other blocks' failures pass silently, and scenes
    // and scripts see the output they always saw. No step is skipped after a
    // failure. One member a line: a report's line names the member.
    using L = LightMember;
    const LightMember lightMembers[] = {
        {&aLightDirectionX, "lightDirectionX", "ldx", L::component, 1.0f, __LINE__},
        {&aLightDirectionY, "lightDirectionY", "ldy", L::component, 1.0f, __LINE__},
        {&aLightDirectionZ, "lightDirectionZ", "ldz", L::component, 1.0f, __LINE__},
        {&aLightDirection, "lightDirection", "ld", L::float3, 1.0f, __LINE__},
        {&aLightIntensityR, "lightIntensityR", "lir", L::component, 1.0f, __LINE__},
        {&aLightIntensityG, "lightIntensityG", "lig", L::component, 1.0f, __LINE__},
        {&aLightIntensityB, "lightIntensityB", "lib", L::component, 1.0f, __LINE__},
        {&aLightIntensity, "lightIntensity", "li", L::float3, 1.0f, __LINE__},
        {&aLightAmbient, "lightAmbient", "la", L::boolean, 1.0f, __LINE__},
        {&aLightDiffuse, "lightDiffuse", "ldf", L::boolean, 1.0f, __LINE__},
        {&aLightSpecular, "lightSpecular", "ls", L::boolean, 0.0f, __LINE__},
        {&aLightShadowFraction, "lightShadowFraction", "lsf", L::scalar, 1.0f, __LINE__},
        {&aPreShadowIntensity, "preShadowIntensity", "psi", L::scalar, 1.0f, __LINE__},
        {&aLightBlindData, "lightBlindData", "lbld", L::address, 0.0f, __LINE__},
    };
    for (const LightMember& member : lightMembers) {
        createLightMember(nAttr, &member);
    }
    createLightArray(lAttr, __LINE__);

    // A compound's children come with it; the light-data children are added
    // one by one before the array. rayDirection is added before pointCamera
    // and normalCamera, though created after them.
    for (const MaterialHandles& input : materialHandles) {
        addAttribute(*input.attribute);
    }
    for (const MObject* attribute :
         {&aOutColor, &aOutTransparency, &aRayDirection, &aPointCamera, &aNormalCamera,
          &aLightDirection, &aLightIntensity, &aLightAmbient, &aLightDiffuse, &aLightSpecular,
          &aLightShadowFraction, &aPreShadowIntensity, &aLightBlindData, &aLightData}) {
        addAttribute(*attribute);
    }

    // Every editable attribute affects outColor, its children first;
    // transparency, which outTransparency copies, affects that first.
    auto affects = [](const MaterialHandles& input, const MObject& output) {
        if (input.colour) {
            for (const MObject* child : input.children) {
                attributeAffects(*child, output);
            }
        }
        attributeAffects(*input.attribute, output);
    };
    for (std::size_t i = 0; i < materialAttributes.size(); ++i) {
        if (materialAttributes[i].affectsOutTransparency) {
            affects(materialHandles[i], aOutTransparency);
        }
        affects(materialHandles[i], aOutColor);
    }
    // pointCamera is related before its children; lightSpecular before
    // lightDiffuse; lightIntensity and its children are not related at all.
    for (const MObject* input :
         {&aRayDirectionX,      &aRayDirectionY,   &aRayDirectionZ,   &aRayDirection,
          &aPointCamera,        &aPointCameraX,    &aPointCameraY,    &aPointCameraZ,
          &aNormalCameraX,      &aNormalCameraY,   &aNormalCameraZ,   &aNormalCamera,
          &aLightDirectionX,    &aLightDirectionY, &aLightDirectionZ, &aLightDirection,
          &aLightAmbient,       &aLightSpecular,   &aLightDiffuse,    &aLightShadowFraction,
          &aPreShadowIntensity, &aLightBlindData,  &aLightData}) {
        attributeAffects(*input, aOutColor);
    }

    return MS::kSuccess;
}
