// Failures inside initialize: silent in the material block, one report per
// failing step in the light-data block, and success returned either way.
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <vector>

#include "pluginFixture.h"
#include "schemaGolden.h"

namespace {

using mayahost::CallRecord;

// The reports of the light-data block, in order: file, line and the
// status text that follows each.
struct Report {
    std::string file;
    int line = 0;
    std::string text;
};

std::vector<Report> parseReports(const std::string& err) {
    static const std::regex shape("\nAPI error detected in (.+) at line ([0-9]+)\n([^\n]*)\n");
    std::vector<Report> reports;
    std::size_t consumed = 0;
    for (auto it = std::sregex_iterator(err.begin(), err.end(), shape);
         it != std::sregex_iterator(); ++it) {
        EXPECT_EQ(static_cast<std::size_t>(it->position()), consumed) << "stray output";
        reports.push_back({(*it)[1], std::stoi((*it)[2]), (*it)[3]});
        consumed = static_cast<std::size_t>(it->position() + it->length());
    }
    EXPECT_EQ(consumed, err.size()) << "stray output: " << err.substr(consumed);
    return reports;
}

bool isCreation(const CallRecord& call) {
    return call.function == "MFnNumericAttribute::create" ||
           call.function == "MFnNumericAttribute::createAddr" ||
           call.function == "MFnLightDataAttribute::create";
}

const std::set<std::string> kLightAttributes = {
    "lightDirectionX",    "lightDirectionY", "lightDirectionZ", "lightDirection",
    "lightIntensityR",    "lightIntensityG", "lightIntensityB", "lightIntensity",
    "lightAmbient",       "lightDiffuse",    "lightSpecular",   "lightShadowFraction",
    "preShadowIntensity", "lightBlindData",  "lightDataArray"};

class FailureTest : public HostTest {
protected:
    // Loads the plug-in with stderr captured; the load itself must succeed.
    std::string loadCapturingStderr() {
        testing::internal::CaptureStderr();
        const MStatus status = host.loadPlugin(kPluginPath);
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(status);
        auto type = host.nodeType("lumaVeil");
        EXPECT_TRUE(type.has_value());
        if (type) {
            EXPECT_EQ(type->initializeStatus, MS::kSuccess);
        }
        return err;
    }
};

TEST_F(FailureTest, MaterialBlockFailuresPrintNothing) {
    // Every call on an attribute outside the light block fails: creations,
    // profiles, additions, relations.
    host.failCalls(
        [](const CallRecord& call) {
            return !call.attribute.empty() && kLightAttributes.count(call.attribute) == 0;
        },
        MS::kFailure);
    EXPECT_EQ(loadCapturingStderr(), "");
    // Failed creations leave null handles, so only the number of calls counts.
    EXPECT_EQ(loggedAttributes("MPxNode::addAttribute").size(),
              schema::goldenCalls("MPxNode::addAttribute").size());
    EXPECT_EQ(loggedAttributes("MPxNode::attributeAffects").size(),
              schema::goldenCalls("MPxNode::attributeAffects").size());
}

TEST_F(FailureTest, OneFailingStepGivesOneReportAndTheRestStillRuns) {
    // The third setDefault on a light member: lightDirectionZ's.
    host.failCalls(
        [](const CallRecord& call) {
            return call.function == "MFnNumericAttribute::setDefault" &&
                   kLightAttributes.count(call.attribute) != 0;
        },
        MS::kInsufficientMemory, 3);
    const std::string err = loadCapturingStderr();
    const auto reports = parseReports(err);
    ASSERT_EQ(reports.size(), 1u) << err;
    EXPECT_TRUE(reports[0].file.ends_with("plugSource/lumaVeilPlugInt.cpp")) << reports[0].file;
    EXPECT_GT(reports[0].line, 0);
    EXPECT_EQ(reports[0].text, "Insufficient Memory");
    EXPECT_EQ(err, "\nAPI error detected in " + reports[0].file + " at line " +
                       std::to_string(reports[0].line) + "\nInsufficient Memory\n");

    // Everything after the failing step happened.
    EXPECT_EQ(loggedCount("MFnLightDataAttribute::setDefault"), 1);
    EXPECT_EQ(loggedAttributes("MPxNode::addAttribute"),
              schema::goldenCalls("MPxNode::addAttribute"));
    auto type = host.nodeType("lumaVeil");
    ASSERT_TRUE(type);
    for (const auto& a : type->attributes) {
        if (a.longName == "lightDirectionZ") {
            EXPECT_TRUE(a.defaults.empty());
        }
        if (a.longName == "lightIntensityR" || a.longName == "lightDirectionY") {
            EXPECT_EQ(a.defaults, (std::vector<double>{1.0}));
        }
    }
}

TEST_F(FailureTest, EveryStepOfTheLightBlockReportsWhenItsCreationsFail) {
    // With every creation in the light block failing, each profile call finds
    // no attribute and fails too: every checked step reports. A report's line
    // names the attribute: the steps on one attribute share its line, and each
    // attribute has a line of its own.
    host.failCalls(
        [](const CallRecord& call) {
            return isCreation(call) && kLightAttributes.count(call.attribute) != 0;
        },
        MS::kFailure);
    const std::string err = loadCapturingStderr();
    const auto reports = parseReports(err);
    // Every step on a light attribute but its addition and relation.
    std::size_t checkedSteps = 0;
    for (const auto& [function, attribute] : schema::goldenCalls()) {
        checkedSteps +=
            kLightAttributes.count(attribute) != 0 && function.rfind("MPxNode::", 0) != 0;
    }
    ASSERT_EQ(reports.size(), checkedSteps);
    std::set<int> lines;
    int creationReports = 0;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        EXPECT_EQ(reports[i].file, reports[0].file);
        const bool creation = reports[i].text == "Unexpected Internal Failure";
        if (i > 0 && creation) {
            EXPECT_GT(reports[i].line, reports[i - 1].line) << "report " << i;
        } else if (i > 0) {
            EXPECT_EQ(reports[i].line, reports[i - 1].line) << "report " << i;
        }
        lines.insert(reports[i].line);
        creationReports += creation;
    }
    EXPECT_EQ(reports[0].text, "Unexpected Internal Failure");
    EXPECT_EQ(lines.size(), kLightAttributes.size());
    EXPECT_EQ(static_cast<std::size_t>(creationReports), kLightAttributes.size());
}

TEST_F(FailureTest, FailuresOfTheRelationsAndAdditionsAreNotReported) {
    host.failCalls("MPxNode::addAttribute", "", MS::kFailure);
    host.failCalls("MPxNode::attributeAffects", "", MS::kFailure);
    testing::internal::CaptureStderr();
    host.loadPlugin(kPluginPath);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    auto type = host.nodeType("lumaVeil");
    ASSERT_TRUE(type);
    EXPECT_EQ(type->initializeStatus, MS::kSuccess);
}

}  // namespace
