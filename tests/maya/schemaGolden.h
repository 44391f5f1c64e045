// What the plug-in promised Maya, written down once in schema.golden.txt:
// every attribute as Maya holds it after initialize, and every call
// initialize makes, in order. The tests describe what the stand-in Maya
// recorded in the same words and compare the two line by line.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "mayahost/callRecord.h"
#include "mayahost/nodeTypeInfo.h"

namespace schema {

inline std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", v);
    return text;
}

inline std::string joined(const std::vector<std::string>& words, const char* separator) {
    std::string out;
    for (const std::string& word : words) {
        out += (out.empty() ? "" : separator) + word;
    }
    return out;
}

inline std::string kindName(mayahost::AttributeKind kind) {
    switch (kind) {
        case mayahost::AttributeKind::Numeric:
            return "numeric";
        case mayahost::AttributeKind::NumericCompound:
            return "compound";
        case mayahost::AttributeKind::Address:
            return "address";
        case mayahost::AttributeKind::LightData:
            return "lightData";
    }
    return "?";
}

inline std::string typeName(MFnNumericData::Type type) {
    switch (type) {
        case MFnNumericData::kBoolean:
            return "boolean";
        case MFnNumericData::kFloat:
            return "float";
        case MFnNumericData::k3Float:
            return "float3";
        case MFnNumericData::kAddr:
            return "address";
        default:
            return "none";
    }
}

// One attribute on one line: names, kind and type, then what Maya holds.
inline std::string describe(const mayahost::AttributeInfo& a) {
    std::vector<std::string> words = {a.longName, a.shortName, kindName(a.kind),
                                      typeName(a.numericType)};
    if (!a.parent.empty()) {
        words.push_back("in=" + a.parent);
    }
    if (!a.children.empty()) {
        words.push_back("children=" + joined(a.children, ","));
    }
    words.push_back("created=" + number(a.creationDefault));
    if (!a.defaults.empty()) {
        std::vector<std::string> values;
        for (double v : a.defaults) {
            values.push_back(number(v));
        }
        words.push_back("default=" + joined(values, ","));
    }
    const std::pair<const char*, const std::optional<double>*> limits[] = {
        {"softMin", &a.softMin}, {"softMax", &a.softMax}, {"min", &a.min}, {"max", &a.max}};
    for (const auto& [name, limit] : limits) {
        if (limit->has_value()) {
            words.push_back(std::string(name) + "=" + number(**limit));
        }
    }
    const std::pair<const char*, bool> flags[] = {
        {"keyable", a.keyable},   {"storable", a.storable}, {"hidden", a.hidden},
        {"readable", a.readable}, {"writable", a.writable}, {"usedAsColor", a.usedAsColor},
        {"array", a.array}};
    for (const auto& [name, set] : flags) {
        if (set) {
            words.push_back(name);
        }
    }
    return joined(words, " ");
}

inline std::string describe(const mayahost::CallRecord& call) {
    return call.function + " " + call.attribute + " (" + call.arguments + ")";
}

// Maya's record in the golden file's words: the attributes, then the calls
// that act on an attribute (all of them initialize's).
inline std::vector<std::string> recorded(const mayahost::NodeTypeInfo& type,
                                         const std::vector<mayahost::CallRecord>& log) {
    std::vector<std::string> lines = {"[attributes]"};
    for (const auto& a : type.attributes) {
        lines.push_back(describe(a));
    }
    lines.push_back("[calls]");
    for (const auto& call : log) {
        if (!call.attribute.empty()) {
            lines.push_back(describe(call));
        }
    }
    return lines;
}

struct GoldenLine {
    int number;  // in the file, from 1
    std::string text;
};

// The golden file's lines, without its comments and blank lines.
inline std::vector<GoldenLine> golden() {
    std::ifstream in(LUMAVEIL_SCHEMA_GOLDEN_PATH);
    EXPECT_TRUE(in) << "cannot read " << LUMAVEIL_SCHEMA_GOLDEN_PATH;
    std::vector<GoldenLine> lines;
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty() && line[0] != '#') {
            lines.push_back({number, line});
        }
    }
    return lines;
}

// The golden attributes, each as describe() words it.
inline std::vector<std::string> goldenAttributes() {
    std::vector<std::string> attributes;
    bool inAttributes = false;
    for (const GoldenLine& line : golden()) {
        if (line.text.front() == '[') {
            inAttributes = line.text == "[attributes]";
        } else if (inAttributes) {
            attributes.push_back(line.text);
        }
    }
    return attributes;
}

// The golden calls, as (function, attribute).
inline std::vector<std::pair<std::string, std::string>> goldenCalls() {
    std::vector<std::pair<std::string, std::string>> calls;
    bool inCalls = false;
    for (const GoldenLine& line : golden()) {
        if (line.text.front() == '[') {
            inCalls = line.text == "[calls]";
        } else if (inCalls) {
            const std::size_t space = line.text.find(' ');
            const std::size_t end = line.text.find(' ', space + 1);
            calls.emplace_back(line.text.substr(0, space),
                               line.text.substr(space + 1, end - space - 1));
        }
    }
    return calls;
}

// The golden calls of `function`, as the attributes they act on.
inline std::vector<std::string> goldenCalls(const std::string& function) {
    std::vector<std::string> attributes;
    for (const auto& [called, attribute] : goldenCalls()) {
        if (called == function) {
            attributes.push_back(attribute);
        }
    }
    return attributes;
}

}  // namespace schema
