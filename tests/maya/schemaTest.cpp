// The node type's attributes and the calls that make them, held against what
// the plug-in promised Maya (schema.golden.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "attributeEditorTemplate.h"
#include "pluginFixture.h"
#include "schemaGolden.h"

namespace {

// Writes what Maya recorded beside the build's tests, after the golden file's
// header (its lines up to the first record, with its line ends): once the
// record is right, the file is the golden file byte for byte, to copy over
// it. To a temporary, renamed into place.
std::string keepRecord(const std::vector<std::string>& lines) {
    std::ifstream golden(LUMAVEIL_SCHEMA_GOLDEN_PATH, std::ios::binary);
    std::string header, lineEnd = "\n";
    for (std::string line; std::getline(golden, line);) {
        const bool crlf = !line.empty() && line.back() == '\r';
        const std::string text = crlf ? line.substr(0, line.size() - 1) : line;
        if (!text.empty() && text[0] != '#') {
            break;
        }
        lineEnd = crlf ? "\r\n" : "\n";
        header += line + "\n";
    }
    const std::string path = LUMAVEIL_SCHEMA_RECORDED_PATH;
    const std::string temporary = path + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << header;
        for (const std::string& line : lines) {
            out << line << lineEnd;
        }
        if (!out.flush()) {
            return "(not written)";
        }
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0 ? path : "(not written)";
}

class SchemaTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        auto type = host.nodeType("lumaVeil");
        ASSERT_TRUE(type.has_value());
        info = *type;
    }
    mayahost::NodeTypeInfo info;
};

// Every run keeps Maya's record, pass or fail, as the golden file would be.
TEST_F(SchemaTest, MayaRecordsWhatThePluginPromised) {
    const std::vector<std::string> recorded = schema::recorded(info, host.callLog());
    const std::string kept = keepRecord(recorded);
    const std::vector<schema::GoldenLine> golden = schema::golden();
    ASSERT_FALSE(golden.empty());
    const std::size_t common = std::min(recorded.size(), golden.size());
    for (std::size_t i = 0; i < common; ++i) {
        if (recorded[i] != golden[i].text) {
            FAIL() << "schema.golden.txt, line " << golden[i].number
                   << ":\n  promised: " << golden[i].text << "\n  recorded: " << recorded[i]
                   << "\nMaya's whole record, to copy over the golden file once right: " << kept;
        }
    }
    if (recorded.size() != golden.size()) {
        FAIL() << (recorded.size() > golden.size()
                       ? "Maya recorded more than promised, from: " + recorded[common]
                       : "promised but not recorded, from line " +
                             std::to_string(golden[common].number) + ": " + golden[common].text)
               << "\nMaya's whole record, to copy over the golden file once right: " << kept;
    }
}

// The host's own record of additions and relations follows the calls.
TEST_F(SchemaTest, AdditionsAndRelationsAreThePromisedCalls) {
    EXPECT_EQ(info.addedAttributes, schema::goldenCalls("MPxNode::addAttribute"));
    std::vector<std::string> related;
    for (const auto& [input, output] : info.affects) {
        related.push_back(input);
    }
    EXPECT_EQ(related, schema::goldenCalls("MPxNode::attributeAffects"));
}

TEST_F(SchemaTest, NewNodeHoldsTheDefaults) {
    mayahost::Node node = host.createNode("lumaVeil");
    ASSERT_TRUE(node);
    int inputs = 0;
    for (const mayahost::AttributeInfo& a : info.attributes) {
        if (!a.parent.empty() || !a.keyable) {
            continue;
        }
        SCOPED_TRACE(a.longName);
        ++inputs;
        if (a.defaults.size() == 3) {
            const auto value = node.getFloat3(a.longName);
            EXPECT_EQ(std::vector<double>(value.begin(), value.end()), a.defaults);
        } else {
            ASSERT_EQ(a.defaults.size(), 1u);
            EXPECT_EQ(node.getFloat(a.longName), static_cast<float>(a.defaults[0]));
            EXPECT_EQ(node.getFloat(a.shortName), node.getFloat(a.longName));
        }
    }
    EXPECT_GT(inputs, 0);
    EXPECT_EQ(node.getFloat3("outColor"), (std::array<float, 3>{0, 0, 0}));
    EXPECT_EQ(node.getFloat3("pointCamera"), (std::array<float, 3>{1, 1, 1}));
    EXPECT_EQ(node.getFloat("colorG"), 0.5f);
    // Values outside the soft ranges are legal.
    EXPECT_TRUE(node.setFloat("diffuse", 25.0f));
    EXPECT_TRUE(node.setFloat("ani", -3.0f));
    EXPECT_EQ(node.getFloat("anisotropy"), -3.0f);
}

// The template in the sources, before any install: a new attribute without
// its control fails here.
TEST_F(SchemaTest, AttributeEditorTemplateFitsTheNode) {
    std::ifstream in(LUMAVEIL_AE_TEMPLATE_PATH, std::ios::binary);
    ASSERT_TRUE(in) << "cannot read " << LUMAVEIL_AE_TEMPLATE_PATH;
    const std::string text{std::istreambuf_iterator<char>(in), {}};
    lumaveil::test::expectTemplateFitsTheNode(text, info);
}

}  // namespace
