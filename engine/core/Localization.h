// A table from key (UTF-8) to wide text. The engine keeps two: the text table filled from
// "cfg\loc.xml", and the key table of values that scripts and boards set at run time and text
// widgets substitute into their labels. Every operation locks the table: scripts write the key
// table from worker threads while the main thread reads it.
#pragma once
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

class VTLocalization {
public:
    // Adds the "id"/"text" pairs of the "root/loc" elements of path; entries without an "id", without
    // a "text" or with an empty "text" are skipped, and a key already present keeps its text (the
    // first duplicate wins). A missing or unreadable file adds nothing. Always true.
    bool LoadFromXml(const std::string& path = "cfg\\loc.xml");

    // The key's text, or the empty text; adds nothing. In debug mode a key "HARDCODE <text>" reads
    // as <text>.
    std::wstring GetText(std::string_view key) const;
    // The key's text; a missing key is added with the empty text first.
    std::wstring GetTextRef(std::string_view key);
    void SetText(std::string_view key, std::wstring_view text);
    // The decimal text of value ("-42").
    void SetInt(std::string_view key, int32_t value);

private:
    mutable std::mutex lock_;
    std::map<std::string, std::wstring, std::less<>> texts_;
};
