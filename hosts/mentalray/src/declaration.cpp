// Reading a shader declaration and laying out its parameter record.
#include <cctype>
#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "mrhost/declaration.h"

namespace lumaveil::mrhost {

namespace {

struct Token {
    std::string text;
    bool quoted = false;
};

std::vector<Token> tokenize(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
        } else if (c == '#') {
            while (i < text.size() && text[i] != '\n') {
                ++i;
            }
        } else if (c == '"') {
            const std::size_t end = text.find('"', i + 1);
            if (end == std::string_view::npos) {
                throw std::runtime_error("declaration: unterminated string");
            }
            tokens.push_back({std::string(text.substr(i + 1, end - i - 1)), true});
            i = end + 1;
        } else if (c == '(' || c == ')' || c == ',') {
            tokens.push_back({std::string(1, c), false});
            ++i;
        } else {
            std::size_t end = i;
            while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end])) &&
                   text[end] != '(' && text[end] != ')' && text[end] != ',' && text[end] != '"' &&
                   text[end] != '#') {
                ++end;
            }
            tokens.push_back({std::string(text.substr(i, end - i)), false});
            i = end;
        }
    }
    return tokens;
}

class Reader {
public:
    explicit Reader(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    bool atEnd() const { return next_ >= tokens_.size(); }

    const Token& peek() const {
        if (atEnd()) {
            throw std::runtime_error("declaration: unexpected end");
        }
        return tokens_[next_];
    }

    Token take() {
        Token t = peek();
        ++next_;
        return t;
    }

    bool accept(std::string_view word) {
        if (!atEnd() && !tokens_[next_].quoted && tokens_[next_].text == word) {
            ++next_;
            return true;
        }
        return false;
    }

    void expect(std::string_view word) {
        if (!accept(word)) {
            throw std::runtime_error("declaration: expected '" + std::string(word) + "' before '" +
                                     (atEnd() ? std::string("end") : peek().text) + "'");
        }
    }

    std::string quoted() {
        Token t = take();
        if (!t.quoted) {
            throw std::runtime_error("declaration: expected a quoted name, got " + t.text);
        }
        return t.text;
    }

private:
    std::vector<Token> tokens_;
    std::size_t next_ = 0;
};

struct TypeInfo {
    ParamType type;
    int size;
    int values;  // number of default values
};

TypeInfo typeNamed(const std::string& name) {
    // The record's size of each type and how many numbers its default takes.
    static const std::pair<const char*, TypeInfo> types[] = {
        {"boolean", {ParamType::boolean, 4, 1}}, {"integer", {ParamType::integer, 4, 1}},
        {"scalar", {ParamType::scalar, 4, 1}},   {"vector", {ParamType::vector, 12, 3}},
        {"color", {ParamType::color, 16, 4}},    {"light", {ParamType::light, 4, 0}},
    };
    for (const auto& [typeName, info] : types) {
        if (name == typeName)
            return info;
    }
    throw std::runtime_error("declaration: unknown parameter type " + name);
}

double defaultNumber(const Token& t) {
    if (t.text == "on" || t.text == "true")
        return 1.0;
    if (t.text == "off" || t.text == "false")
        return 0.0;
    // A default the shader is handed must be a number: nan and inf are
    // refused as one too large for a double is.
    try {
        std::size_t used = 0;
        const double value = std::stod(t.text, &used);
        if (used == t.text.size() && std::isfinite(value)) {
            return value;
        }
    } catch (const std::exception&) {
    }
    throw std::runtime_error("declaration: bad default value " + t.text);
}

// A version is a whole number, all of the word.
int versionNumber(const Token& t) {
    int value = 0;
    const char* end = t.text.data() + t.text.size();
    const auto [stop, error] = std::from_chars(t.text.data(), end, value);
    if (t.quoted || t.text.empty() || error != std::errc{} || stop != end) {
        throw std::runtime_error("declaration: the version must be a whole number, not '" + t.text +
                                 "'");
    }
    return value;
}

}  // namespace

const DeclaredField* ShaderDeclaration::find(std::string_view fieldName) const {
    for (const DeclaredField& f : fields) {
        if (f.name == fieldName) {
            return &f;
        }
    }
    return nullptr;
}

ShaderDeclaration parseDeclaration(std::string_view text) {
    Reader in(tokenize(text));
    ShaderDeclaration decl;
    in.expect("declare");
    in.expect("shader");
    decl.resultType = in.take().text;
    decl.name = in.quoted();
    in.expect("(");
    int offset = 0;
    auto addField = [&](std::string name, TypeInfo info, bool element, std::vector<double> dflt) {
        decl.fields.push_back(
            {std::move(name), info.type, element, offset, info.size, std::move(dflt)});
        offset += info.size;  // every type is a multiple of 4 bytes, so no padding
    };
    if (!in.accept(")")) {
        for (;;) {
            const bool array = in.accept("array");
            const TypeInfo info = typeNamed(in.take().text);
            std::string name = in.quoted();
            std::vector<double> dflt;
            if (in.accept("default")) {
                if (array) {
                    throw std::runtime_error("declaration: array " + name + " with a default");
                }
                while (!in.atEnd() && in.peek().text != "," && in.peek().text != ")") {
                    dflt.push_back(defaultNumber(in.take()));
                }
                // A colour may leave out its alpha, which is then 1.
                if (info.type == ParamType::color && dflt.size() == 3) {
                    dflt.push_back(1.0);
                }
                if (static_cast<int>(dflt.size()) != info.values) {
                    throw std::runtime_error("declaration: wrong number of defaults for " + name);
                }
            }
            if (array) {
                addField("i_" + name, typeNamed("integer"), false, {});
                addField("n_" + name, typeNamed("integer"), false, {});
                addField(std::move(name), info, true, {});
            } else {
                addField(std::move(name), info, false, std::move(dflt));
            }
            if (in.accept(")")) {
                break;
            }
            in.expect(",");
        }
    }
    decl.recordSize = offset;
    while (!in.accept("end")) {
        if (in.accept("version")) {
            decl.version = versionNumber(in.take());
        } else if (in.accept("apply")) {
            decl.apply = in.take().text;
        } else {
            throw std::runtime_error("declaration: unknown option " + in.peek().text);
        }
    }
    in.expect("declare");
    return decl;
}

ShaderDeclaration loadDeclaration(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        throw std::runtime_error("cannot read shader declaration " + path);
    }
    std::ostringstream text;
    text << file.rdbuf();
    return parseDeclaration(text.str());
}

}  // namespace lumaveil::mrhost
