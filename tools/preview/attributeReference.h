// The attribute reference, docs/attributes.md, written from the tables the
// preview works with, so that the page says what the tool and the node do.
#pragma once

#include <string>

namespace lumaveil::preview {

// The whole Markdown page.
std::string attributeReferenceMarkdown();

}  // namespace lumaveil::preview
