// What the stand-in Maya reports about a registered node type and its
// attributes, as the plug-in declared them.
#pragma once

#include <maya/MFnNumericData.h>
#include <maya/MPxNode.h>
#include <maya/MStatus.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace mayahost {

enum class AttributeKind { Numeric, NumericCompound, Address, LightData };

// Everything the host keeps about one attribute of a node type.
struct AttributeInfo {
    std::string longName;
    std::string shortName;
    AttributeKind kind = AttributeKind::Numeric;
    MFnNumericData::Type numericType = MFnNumericData::kInvalid;
    std::string parent;                 // empty for a top-level attribute
    std::vector<std::string> children;  // in creation order
    double creationDefault = 0.0;       // the default passed to create
    // The values of the last setDefault call, in argument order (one, three,
    // or the eleven numbers of a light-data default); empty if none was made.
    std::vector<double> defaults;
    std::optional<double> min, max, softMin, softMax;
    bool keyable = false;
    bool storable = true;
    bool hidden = false;
    bool readable = true;
    bool writable = true;
    bool usedAsColor = false;
    bool array = false;
};

struct NodeTypeInfo {
    std::string name;
    unsigned int id = 0;
    MPxNode::Type kind = MPxNode::kDependNode;
    std::string classification;
    std::string pluginPath;
    MS::MStatusCode initializeStatus = MS::kSuccess;
    std::vector<AttributeInfo> attributes;     // the type's attributes, in creation order
    std::vector<std::string> addedAttributes;  // in addAttribute order
    std::vector<std::pair<std::string, std::string>> affects;  // (input, output), in order
};

}  // namespace mayahost
