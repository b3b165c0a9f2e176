// Reader of descriptor files: UTF-16LE text in a command language where each command is a name
// followed by tokens, quoted strings and parenthesised lists, and values can be declared by name
// (Defines) and referred to later. Splits the file into commands, tokenizes them and converts
// arguments; what a command does is left to the subclass (HandleCommand).
#pragma once
#include "framework/assets/DataElement.h"
#include "framework/graphics/Color.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Fw {

class DescParser {
public:
    // Command flag bits.
    static constexpr int32_t kCmdSemicolonEnds = 1;     // ';' outside quotes ends a command
    static constexpr int32_t kCmdLineStartBegins = 2;   // an unindented line begins a new command

    DescParser() = default;
    DescParser(const DescParser&) = delete;
    DescParser& operator=(const DescParser&) = delete;
    virtual ~DescParser() = default;

    // Stores text as the error text and returns false. Every report of the parser goes through it.
    virtual bool Error(const std::wstring& text);
    // The value declared under name (any letter case), owned by the parser; null when none.
    virtual DataElement* FindDefine(const std::wstring& name);
    // Executes one command: element 0 is the command name, the rest its arguments as written.
    // False stops the file.
    virtual bool HandleCommand(ListDataElement& command) = 0;

    // Reads and executes the whole file through the archive layer. False when it cannot be opened
    // (no report) or a command failed (reading stops there; earlier commands keep their effect).
    bool LoadDescriptor(const std::string& fileName);
    // Tokenizes one command and hands it to HandleCommand; an empty command succeeds.
    bool ParseLine(const std::wstring& line);
    // Tokenizes text from *pos (from 0 when pos is null) into dest. With expectListEnd a ')' ends
    // the list; without it a ')' is an error.
    bool ParseList(const std::wstring& text, ListDataElement& dest, bool expectListEnd, size_t* pos = nullptr);

    // Conversions for command handlers; false on failure (reporting only where noted).
    // Copies source with quoted tokens unquoted and names replaced by their values; reports an
    // undeclared name.
    bool Dereference(const ListDataElement& source, ListDataElement& dest);
    // A list resolved, or a name whose value is a list.
    bool DataToList(const DataElement& source, ListDataElement& dest);
    // A token (or the single value it names), unquoted; lists fail.
    bool DataToString(const DataElement& source, std::wstring& out);
    // The texts of a resolved list, or of the list a name holds (an undeclared name is reported).
    bool DataToStringVector(const DataElement& source, std::vector<std::wstring>& out);
    bool DataToIntVector(const DataElement& source, std::vector<int32_t>& out);
    bool DataToDoubleVector(const DataElement& source, std::vector<double>& out);
    // A list of four numbers 0..1 (red, green, blue, alpha), or one packed 0xAARRGGBB token.
    bool DataToColor(const DataElement& source, Color& out);

    // 'abc' -> abc and 'it''s' -> it's (the same for "); an unquoted token stays as it is.
    static std::wstring Unquote(const std::wstring& token);
    // True when the token is a literal: it starts with a digit, '-', '+' or a quote.
    static bool IsImmediate(const std::wstring& token);

    int32_t cmdFlags = kCmdSemicolonEnds;
    std::wstring error;          // last text given to the base Error
    int32_t currentLineNum = 0;  // 1-based line where the command being handled begins; 0 outside a load
    std::wstring currentLine;    // the command being collected or handled
    std::map<std::wstring, std::unique_ptr<DataElement>> defineMap; // key: upper-cased name

protected:
    // The message for a name no Define declares.
    bool ReportUndeclared(const std::wstring& name);
};

} // namespace Fw
