// One story of where lumaVeil renders: no page says that Arnold does not
// render it, as an old page once did while the others said it does.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<fs::path> pages() {
    const fs::path root = LUMAVEIL_SOURCE_DIR;
    std::vector<fs::path> found{root / "README.md"};
    for (const auto& entry : fs::directory_iterator(root / "docs")) {
        if (entry.path().extension() == ".md") {
            found.push_back(entry.path());
        }
    }
    return found;
}

// The page's prose as sentences: code blocks left out, lines joined, and
// split after a full stop, question or exclamation mark, or at a blank line
// or a list item.
std::vector<std::string> sentences(const fs::path& page) {
    std::ifstream in(page);
    std::vector<std::string> out;
    std::string current;
    bool inCode = false;
    auto finish = [&] {
        if (current.find_first_not_of(' ') != std::string::npos) {
            out.push_back(current);
        }
        current.clear();
    };
    for (std::string line; std::getline(in, line);) {
        const auto text = line.find_first_not_of(' ');
        if (text != std::string::npos && line.compare(text, 3, "```") == 0) {
            inCode = !inCode;
            finish();
            continue;
        }
        if (inCode) {
            continue;
        }
        if (text == std::string::npos || line.compare(text, 2, "- ") == 0) {
            finish();
        }
        for (const char c : line) {
            current += c;
            if (c == '.' || c == '?' || c == '!') {
                finish();
            }
        }
        current += ' ';
    }
    finish();
    return out;
}

TEST(Story, NoPageSaysArnoldDoesNotRenderLumaVeil) {
    const std::regex arnold(R"(\bArnold\b)");
    const std::regex doesNotRender(
        R"(\b(not|never|cannot|can't|doesn't|don't|won't|isn't)\s+(\w+\s+)?render(s|ed|ing)?\b)",
        std::regex::icase);
    int read = 0;
    for (const fs::path& page : pages()) {
        for (const std::string& sentence : sentences(page)) {
            ++read;
            EXPECT_FALSE(std::regex_search(sentence, arnold) &&
                         std::regex_search(sentence, doesNotRender))
                << page.filename().string() << ": " << sentence;
        }
    }
    EXPECT_GT(read, 100);
}

}  // namespace
