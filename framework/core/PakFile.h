// The archive-aware file layer's handle and abstract reader, and the free functions every module
// reads assets through. The reader itself (PakInterface) lives in framework/assets; until one is
// published the free functions fall back to the C runtime's stdio.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

struct PakEntry; // defined by the archive reader

// Stand-in for the Windows find record the archive search fills.
struct PakFindFileData {
    uint32_t attributes = 0;    // 0x10 for a folder, 0x80 (normal) or 0x20 for a file
    uint64_t creationTime = 0;  // FILETIME as one 64-bit count of 100 ns since 1601
    uint64_t lastAccessTime = 0;
    uint64_t lastWriteTime = 0;
    uint64_t fileSize = 0;
    std::string fileName;       // name without folder
};

// Handle of an open file: an archive entry (entry != nullptr) or a plain runtime stream.
struct PakFile {
    PakEntry* entry = nullptr;
    int32_t position = 0;
    FILE* stream = nullptr;
};

using PakFindHandle = void*;
inline PakFindHandle const kInvalidPakFindHandle = reinterpret_cast<PakFindHandle>(~uintptr_t(0));

// The reader's operations; for a handle with a null entry they act on the plain stream.
class PakInterfaceBase {
public:
    virtual ~PakInterfaceBase() = default;
    virtual PakFile* FOpen(const char* name, const char* mode) = 0;
    virtual int FClose(PakFile* file) = 0;
    virtual int FSeek(PakFile* file, long offset, int origin) = 0;
    virtual long FTell(PakFile* file) = 0;
    virtual size_t FRead(void* buffer, size_t elementSize, size_t count, PakFile* file) = 0;
    virtual int FGetC(PakFile* file) = 0;
    virtual int FGetWC(PakFile* file) = 0;       // 16-bit unit, 0xFFFF at the end
    virtual int UnGetC(int c, PakFile* file) = 0;
    virtual char16_t* FGetWS(char16_t* buffer, int n, PakFile* file) = 0;
    virtual char* FGetS(char* buffer, int n, PakFile* file) = 0;
    virtual int FEof(PakFile* file) = 0;
    virtual PakFindHandle FindFirstFile(const char* pattern, PakFindFileData* out) = 0;
    virtual bool FindNextFile(PakFindHandle search, PakFindFileData* out) = 0;
    virtual bool FindClose(PakFindHandle search) = 0;
    // The path of the archive an open archive entry comes from (empty for other handles).
    virtual std::string ArchiveOf(const PakFile* /*file*/) const { return {}; }
};

// The process's published reader, or null while none is published. Any thread.
PakInterfaceBase* GetPakInterface();
// Publishes reader unless one is already published (first reader wins). Returns true when published.
bool PublishPakInterface(PakInterfaceBase* reader);
// Withdraws reader if it is the published one (its destructor calls this, so later calls fall back
// to stdio instead of reaching a destroyed reader). Returns true when it was published.
bool UnpublishPakInterface(PakInterfaceBase* reader);

// The plain-stream operations behind the wrappers while no reader is published; a reader uses them
// for handles without an entry. Names accept '\' and any letter case (see Fw::ToFileSystemPath).
namespace PakStdio {
PakFile* FOpen(const char* name, const char* mode); // new handle {null entry, 0, stream} or null
int FClose(PakFile* file);                          // closes the stream and deletes the handle
int FSeek(PakFile* file, long offset, int origin);
long FTell(PakFile* file);
size_t FRead(void* buffer, size_t elementSize, size_t count, PakFile* file);
int FGetC(PakFile* file);
int FGetWC(PakFile* file); // one UTF-16LE unit (two bytes); 0xFFFF at the end
int UnGetC(int c, PakFile* file);
char16_t* FGetWS(char16_t* buffer, int n, PakFile* file); // UTF-16LE units up to and with a line feed
char* FGetS(char* buffer, int n, PakFile* file);
int FEof(PakFile* file);
} // namespace PakStdio

PakFile* PakFOpen(const char* name, const char* mode);
int PakFClose(PakFile* file);
int PakFSeek(PakFile* file, long offset, int origin);
long PakFTell(PakFile* file);
size_t PakFRead(void* buffer, size_t elementSize, size_t count, PakFile* file);
int PakFGetC(PakFile* file);
int PakFGetWC(PakFile* file);
char* PakFGetS(char* buffer, int n, PakFile* file);
int PakFEof(PakFile* file);
int PakUnGetC(int c, PakFile* file);
char16_t* PakFGetWS(char16_t* buffer, int n, PakFile* file);

// The whole of name (archives first, then the file system), read to its end in chunks rather than
// trusting a reported size. False when it cannot be opened.
bool PakReadWholeFile(const char* name, std::string& out);

// Where name is read from, for messages: "archive ARCHIVE-PATH" for an archive entry, "file PATH"
// (absolute) for a file of the file system, or "no file in the archives or in FOLDER" (the
// current folder) when it cannot be opened.
std::string PakDescribeSource(const char* name);
