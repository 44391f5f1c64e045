// A command line read against one table of option specs, and the option
// lines of --help written from the same table.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lumaveil::preview {

// A command line that cannot be carried out; the message is one line.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// One option: its names, the value it takes, what --help says of it and what
// it does to the command line read so far.
template <class CommandLine>
struct OptionSpec {
    std::string_view name;       // "--output"
    std::string_view shortName;  // "-o"; empty: none
    std::string_view value;      // as --help names it ("PATH"); empty: a flag, which takes none
    // --help's words, a line each, broken by '\n'; empty: the next option's
    // words say what this one does too, on one line of names with it.
    std::string_view help;
    // Handed the value (empty for a flag); throws UsageError.
    void (*apply)(std::string_view value, CommandLine& line);
    // An option that takes a value is given once: a second one would silently
    // win. One that adds its value to the others' (--set) may be given again.
    bool repeats = false;
    // Why it may be given once, where more than "give it once" is to say.
    std::string_view givenTwice = {};
};

// Carries out each argument through its option's entry in order: "--name
// value" or "--name=value", a short name only as "-o value"; a flag takes no
// value, and may be given again to the same effect.
template <class CommandLine>
void readArguments(std::span<const OptionSpec<CommandLine>> specs,
                   const std::vector<std::string_view>& arguments, CommandLine& line) {
    // Each option's first value, once given.
    std::vector<std::optional<std::string_view>> given(specs.size());
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        std::string_view inlineValue;
        bool hasInlineValue = false;
        if (argument.starts_with("--")) {
            if (const std::size_t equals = argument.find('='); equals != std::string_view::npos) {
                inlineValue = argument.substr(equals + 1);
                argument = argument.substr(0, equals);
                hasInlineValue = true;
            }
        }
        std::size_t s = 0;
        while (s < specs.size() && argument != specs[s].name &&
               (specs[s].shortName.empty() || argument != specs[s].shortName)) {
            ++s;
        }
        if (s == specs.size() && !argument.starts_with("-")) {
            throw UsageError("unexpected '" + std::string(argument) +
                             "': every argument is an option or an option's value (see --help)");
        }
        if (s == specs.size()) {
            throw UsageError("unknown option '" + std::string(argument) + "' (see --help)");
        }
        const OptionSpec<CommandLine>& option = specs[s];
        std::string_view value;
        if (option.value.empty()) {
            if (hasInlineValue) {
                throw UsageError(std::string(argument) + " takes no value");
            }
        } else if (hasInlineValue) {
            value = inlineValue;
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            throw UsageError(std::string(argument) + " needs a value");
        }
        if (given[s] && !option.value.empty() && !option.repeats) {
            throw UsageError(std::string(option.name) + " is given twice ('" +
                             std::string(*given[s]) + "', then '" + std::string(value) + "'); " +
                             (option.givenTwice.empty() ? std::string("give it once")
                                                        : std::string(option.givenTwice)));
        }
        given[s] = value;
        option.apply(value, line);
    }
}

// An option's names and value as --help shows them: "-o, --output PATH".
template <class CommandLine>
std::string optionNames(const OptionSpec<CommandLine>& option) {
    std::string names = option.shortName.empty() ? "" : std::string(option.shortName) + ", ";
    names += option.name;
    return option.value.empty() ? names : names + " " + std::string(option.value);
}

// The options' lines of --help, in the table's order: the names, then the
// words from a column of their own, or from the next line where the names
// reach into it.
template <class CommandLine>
std::string optionHelp(std::span<const OptionSpec<CommandLine>> specs) {
    constexpr std::size_t wordsColumn = 31;
    const std::string indent(wordsColumn, ' ');
    std::string text;
    std::string names;
    for (const OptionSpec<CommandLine>& option : specs) {
        names += (names.empty() ? "" : ", ") + optionNames(option);
        if (option.help.empty()) {
            continue;
        }
        text += "  " + names;
        text += names.size() + 3 <= wordsColumn ? std::string(wordsColumn - 2 - names.size(), ' ')
                                                : "\n" + indent;
        for (const char c : option.help) {
            text += c == '\n' ? "\n" + indent : std::string(1, c);
        }
        text += "\n";
        names.clear();
    }
    return text;
}

}  // namespace lumaveil::preview
