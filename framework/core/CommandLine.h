// Command-line text: the Windows-style single string the application receives (program name,
// quoted when it holds blanks, then the arguments), the part after the program name that reaches
// the application's hook, and a splitter of that part into (option, value) pairs.
#pragma once
#include <string>
#include <utility>
#include <vector>

namespace Fw {

// Joins argv into one command line; arguments with blanks or quotes are quoted ('"' doubled as \").
std::string JoinCommandLine(int argc, const char* const* argv);
// The text after the program name: skip a quoted program name up to its closing quote (none: empty),
// then everything after the first blank (none: empty). Further blanks are kept.
std::string CommandLineArguments(const std::string& commandLine);

struct CommandLineOption {
    std::string name;  // begins with '-'
    std::string value; // empty when the option takes none
    bool operator==(const CommandLineOption&) const = default;
};
// Splits hook text into options: a word beginning with '-' names an option, the following word
// that does not begin with '-' is its value. Double quotes group blanks into one word. A word that
// follows no option becomes an option with that name (so the handler rejects it).
std::vector<CommandLineOption> SplitCommandLineOptions(const std::string& text);

} // namespace Fw
