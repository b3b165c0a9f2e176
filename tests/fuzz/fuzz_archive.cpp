// The archive directory parser and the archive reader over one archive: every entry lies inside
// the archive and reads back as its descrambled bytes, seeks stay inside the entry, line reads and
// the directory search end. A refused archive comes with its reason.
#include "FuzzSupport.h"

#include "framework/assets/PakArchiveFormat.h"
#include "framework/assets/PakInterface.h"

#include <vector>

using FuzzSupport::Check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string error;
    const auto entries = Pak::ParseDirectory({data, size}, &error);
    Check(entries.has_value() || !error.empty(), "a refused archive has a reason");
    if (entries)
        for (const Pak::DirectoryEntry& e : *entries)
            Check(uint64_t(e.start) + e.size <= size, "entry inside the archive");

    PakInterface pak;
    const std::string name = FuzzSupport::WriteInput("input.pak", data, size);
    Check(pak.OpenPakArchive(name) == entries.has_value(), "the reader opens what the parser accepts");
    if (!entries)
        return 0;
    for (const Pak::DirectoryEntry& e : *entries) {
        if (e.name.find('\0') != std::string::npos)
            continue; // no C string names it
        PakFile* f = pak.FOpen(e.name.c_str(), "rb");
        Check(f != nullptr, "every entry opens");
        if (!f->entry) { // a later duplicate with another spelling hides it; still a readable file
            pak.FClose(f);
            continue;
        }
        std::vector<uint8_t> bytes(size_t(f->entry->size) + 1);
        const size_t n = pak.FRead(bytes.data(), 1, bytes.size(), f);
        Check(n == f->entry->size, "an entry reads whole");
        Check(pak.FEof(f) != 0, "end of entry after reading it whole");
        pak.FSeek(f, -3, SEEK_END);
        Check(pak.FTell(f) >= 0 && pak.FTell(f) <= long(f->entry->size), "seek stays inside the entry");
        pak.FSeek(f, 1L << 40, SEEK_CUR);
        Check(pak.FTell(f) == long(f->entry->size), "seek past the end stops at the end");
        pak.FSeek(f, 0, SEEK_SET);
        char line[64];
        int lines = 0;
        while (pak.FGetS(line, sizeof line, f))
            Check(++lines <= int(f->entry->size), "line reads end");
        pak.FSeek(f, 0, SEEK_SET);
        char16_t wide[16];
        int wideLines = 0;
        while (pak.FGetWS(wide, 16, f))
            Check(++wideLines <= int(f->entry->size), "wide line reads end");
        pak.FClose(f);
    }
    PakFindFileData found;
    size_t matches = 0;
    PakFindHandle search = pak.FindFirstFile("*", &found);
    if (search != kInvalidPakFindHandle) {
        do
            Check(++matches <= entries->size() + 16, "the search ends");
        while (pak.FindNextFile(search, &found));
        pak.FindClose(search);
    }
    return 0;
}
