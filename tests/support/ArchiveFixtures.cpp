// Test archives: good ones through the project's writer, broken ones by damaging its output.
#include "support/ArchiveFixtures.h"

#include "framework/assets/PakArchiveFormat.h"

#include <stdexcept>

namespace TestSupport {

std::vector<uint8_t> MakeArchive(const ArchiveFiles& files, uint64_t fileTime)
{
    std::vector<Pak::WriterEntry> entries;
    for (const auto& [name, contents] : files)
        entries.push_back({name, {contents.begin(), contents.end()}, fileTime});
    std::string error;
    std::vector<uint8_t> bytes = Pak::BuildArchive(entries, &error);
    if (bytes.empty())
        throw std::runtime_error("cannot build test archive: " + error);
    return bytes;
}

const char* Describe(BrokenArchive kind)
{
    switch (kind) {
    case BrokenArchive::BadMagic:
        return "bad magic";
    case BrokenArchive::Version1:
        return "version 1";
    case BrokenArchive::TruncatedDirectory:
        return "truncated directory";
    case BrokenArchive::MissingEndMark:
        return "missing end mark";
    case BrokenArchive::EntryPastEnd:
        return "entry past the end";
    case BrokenArchive::HugeEntry:
        return "huge entry";
    case BrokenArchive::HeaderOnly:
        return "header only";
    case BrokenArchive::Empty:
        return "empty file";
    }
    return "?";
}

std::vector<uint8_t> MakeBrokenArchive(BrokenArchive kind)
{
    const std::string name = "cfg\\broken.txt";
    std::vector<uint8_t> a = MakeArchive({{name, "0123456789"}});
    const size_t endMark = 8 + 2 + name.size() + 12; // offset of the directory's end byte
    auto setPlainU32 = [&a](size_t offset, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            a[offset + size_t(i)] = uint8_t(v >> (8 * i)) ^ Pak::kScrambleKey;
    };
    switch (kind) {
    case BrokenArchive::BadMagic:
        setPlainU32(0, 0xBAC04AC1);
        break;
    case BrokenArchive::Version1:
        setPlainU32(4, 1);
        break;
    case BrokenArchive::TruncatedDirectory:
        a.resize(8 + 2 + 5);
        break;
    case BrokenArchive::MissingEndMark:
        setPlainU32(8 + 2 + name.size(), 0);
        a.resize(endMark);
        break;
    case BrokenArchive::EntryPastEnd:
        setPlainU32(8 + 2 + name.size(), 11);
        break;
    case BrokenArchive::HugeEntry:
        setPlainU32(8 + 2 + name.size(), 0xFFFFFFFF);
        break;
    case BrokenArchive::HeaderOnly:
        a.resize(6);
        break;
    case BrokenArchive::Empty:
        a.clear();
        break;
    }
    return a;
}

} // namespace TestSupport
