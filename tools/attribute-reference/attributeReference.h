// The attribute reference, docs/attributes.md, written from the tables the
// tools work with, so that the page says what the preview and the node do,
// with its pictures (see referencePictures.h).
#pragma once

#include <string>

namespace lumaveil::reference {

// The whole Markdown page.
std::string attributeReferenceMarkdown();

}  // namespace lumaveil::reference
