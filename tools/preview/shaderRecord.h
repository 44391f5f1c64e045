// The parameter record the renderer shader reads, and how a declaration
// differs from it. A declaration that lays the record out otherwise has the
// shader read its lights, or anything after the first difference, from the
// wrong place.
#pragma once

#include <string>

#include "mrhost/declaration.h"

namespace lumaveil::preview {

// The first parameter where the declaration differs from the record the
// shader reads, by name, type or place, in words such as
// `parameter 18 is scalar "extra" where the shader reads array light "light"`;
// empty when they agree.
std::string firstRecordDifference(const mrhost::ShaderDeclaration& declared);

}  // namespace lumaveil::preview
