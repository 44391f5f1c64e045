// Writes the attribute reference page:
//     generate-attribute-reference <docs/attributes.md>
#include <fstream>
#include <iostream>

#include "attributeReference.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: generate-attribute-reference <file>\n";
        return 2;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << lumaveil::preview::attributeReferenceMarkdown();
    out.close();
    if (!out) {
        std::cerr << "generate-attribute-reference: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
