// The resource manager's own XML tokenizer: reads wide characters and returns one node at a time
// (start element, end element, text, instruction, comment), keeping the path of open elements and
// the line number for error texts. Self-closing elements come back as a start and an end element.
#pragma once
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace Fw {

struct XmlReaderNode {
    enum Kind { None = 0, StartElement = 1, EndElement = 2, Text = 3, Instruction = 4, Comment = 5 };

    Kind kind = None;
    std::wstring section;     // open element names before this node, joined by '/'
    std::wstring value;       // element name or text
    std::wstring instruction; // text of an instruction
    std::map<std::wstring, std::wstring> attributes;

    void Clear();
};

class XmlReader {
public:
    // Reads from text; fileName appears in error texts. illegalAt lists the positions of characters
    // the decoder could not read ("Illegal Character" when the reader reaches them).
    XmlReader(std::wstring text, std::string fileName, std::vector<size_t> illegalAt = {});

    // Opens a file through the archive layer: UTF-16LE when it starts with FF FE, else UTF-8 (bytes
    // that are not UTF-8 are illegal characters). False when the file cannot be opened.
    bool OpenFile(const std::string& fileName);

    // The next node. False at the end of the input (no error) or on an error (HadError).
    bool NextElement(XmlReaderNode& node);

    int GetCurrentLineNum() const { return line_; }
    const std::string& GetFileName() const { return fileName_; }
    bool HadError() const { return !error_.empty(); }
    const std::string& GetErrorText() const { return error_; }
    // Names of the elements open now, joined by '/'; empty when every element was closed.
    const std::wstring& GetOpenSection() const { return section_; }
    void SetReturnComments(bool on) { returnComments_ = on; }

private:
    enum class Get { Char, End, Illegal };
    Get NextChar(wchar_t& c);
    void PushBack(const std::wstring& text);
    bool Fail(const std::string& text);

    std::wstring input_;
    size_t pos_ = 0;
    std::vector<size_t> illegalAt_;
    std::deque<wchar_t> pushedBack_;
    int line_ = 1;
    std::wstring section_;
    std::vector<std::wstring> open_;
    bool returnComments_ = false;
    std::string fileName_;
    std::string error_;
};

} // namespace Fw
