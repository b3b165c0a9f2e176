// The process's archive-aware file layer: maps archives, keeps one table of every file they hold
// (later archives and later duplicates win) and serves stdio-like reads from them, falling back
// to the file system. The first instance publishes itself as the process's reader; destroying it
// unpublishes it. Archives are opened before other threads read; afterwards reads are thread-safe
// (each PakFile is used by one thread at a time).
#pragma once
#include "framework/assets/PakCollection.h"
#include "framework/core/PakFile.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

// One file inside an archive.
struct PakEntry {
    const PakCollection* archive = nullptr;
    std::string name;      // path exactly as stored in the directory
    uint64_t fileTime = 0; // FILETIME
    uint32_t start = 0;    // offset of the first data byte in the archive
    uint32_t size = 0;     // bytes
};

class PakInterface : public PakInterfaceBase {
public:
    PakInterface();
    ~PakInterface() override;
    PakInterface(const PakInterface&) = delete;
    PakInterface& operator=(const PakInterface&) = delete;

    // Maps the archive at name and adds its files to the table, replacing entries of the same
    // path. False, with nothing added, when the file cannot be mapped or is not a valid archive.
    bool OpenPakArchive(const std::string& name);

    // Read modes ("r", "rb", "rt", any case) look in the archives first; every other mode and
    // every name missing from them go to the file system.
    PakFile* FOpen(const char* name, const char* mode) override;
    int FClose(PakFile* file) override;
    // Archive entries: the new position is clamped to [0, size] and the result is always 0.
    int FSeek(PakFile* file, long offset, int origin) override;
    long FTell(PakFile* file) override;
    // Copies min(elementSize x count, bytes left); returns whole elements (a partial one is
    // consumed but not counted).
    size_t FRead(void* buffer, size_t elementSize, size_t count, PakFile* file) override;
    // Character and line reads skip every '\r', for archive entries and plain files alike.
    int FGetC(PakFile* file) override;
    int FGetWC(PakFile* file) override;
    int UnGetC(int c, PakFile* file) override;
    char16_t* FGetWS(char16_t* buffer, int n, PakFile* file) override;
    char* FGetS(char* buffer, int n, PakFile* file) override;
    int FEof(PakFile* file) override;
    // Archive entries matching pattern (only its first '*' is a wildcard) in key order, then the
    // file system's matches.
    PakFindHandle FindFirstFile(const char* pattern, PakFindFileData* out) override;
    bool FindNextFile(PakFindHandle search, PakFindFileData* out) override;
    bool FindClose(PakFindHandle search) override;
    std::string ArchiveOf(const PakFile* file) const override;

private:
    struct FindData;
    bool NextArchiveMatch(FindData& search, PakFindFileData* out) const;

    std::vector<std::unique_ptr<PakCollection>> archives;
    std::map<std::string, PakEntry> entries; // key: the stored name in upper case
};
