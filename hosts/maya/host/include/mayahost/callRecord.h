// One entry of the stand-in Maya's call log.
#pragma once

#include <maya/MStatus.h>

#include <string>

namespace mayahost {

// One call of the plug-in into the API.
struct CallRecord {
    std::string function;   // "MFnNumericAttribute::setDefault"
    std::string attribute;  // long name of the attribute the call creates or acts on
    std::string arguments;  // the arguments, formatted, separated by ", "
    MS::MStatusCode status = MS::kSuccess;
};

}  // namespace mayahost
