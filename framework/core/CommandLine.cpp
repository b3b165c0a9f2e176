// Command-line joining and splitting.
#include "framework/core/CommandLine.h"

namespace Fw {

std::string JoinCommandLine(int argc, const char* const* argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i) {
        const std::string arg = argv[i] ? argv[i] : "";
        if (i > 0)
            line += ' ';
        const bool quote = arg.empty() || arg.find_first_of(" \t\"") != std::string::npos;
        if (!quote) {
            line += arg;
            continue;
        }
        line += '"';
        for (char c : arg) {
            if (c == '"')
                line += '\\';
            line += c;
        }
        line += '"';
    }
    return line;
}

std::string CommandLineArguments(const std::string& commandLine)
{
    size_t from = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        const size_t close = commandLine.find('"', 1);
        if (close == std::string::npos)
            return std::string();
        from = close + 1;
    }
    const size_t blank = commandLine.find(' ', from);
    if (blank == std::string::npos)
        return std::string();
    return commandLine.substr(blank + 1);
}

namespace {

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\' && i + 1 < text.size() && text[i + 1] == '"') {
            word += '"';
            inWord = true;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord)
                words.push_back(word);
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(word);
    return words;
}

} // namespace

std::vector<CommandLineOption> SplitCommandLineOptions(const std::string& text)
{
    std::vector<CommandLineOption> options;
    bool valueAllowed = false;
    for (const std::string& w : Words(text)) {
        if (!w.empty() && w[0] == '-') {
            options.push_back({w, ""});
            valueAllowed = true;
        } else if (valueAllowed) {
            options.back().value = w;
            valueAllowed = false;
        } else {
            options.push_back({w, ""});
        }
    }
    return options;
}

} // namespace Fw
