// The process-wide archive reader pointer and the free file functions that go through it, falling
// back to stdio while no reader is published. The choice is made at every call, so a handle opened
// before a reader appeared is still read and closed correctly (its entry is null: a plain stream).
#include "framework/core/PakFile.h"

#include "framework/core/FileSystemPath.h"

#include <atomic>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::atomic<PakInterfaceBase*> gPakInterface{nullptr};

constexpr int kWideEof = 0xFFFF;

} // namespace

PakInterfaceBase* GetPakInterface()
{
    return gPakInterface.load(std::memory_order_acquire);
}

bool PublishPakInterface(PakInterfaceBase* reader)
{
    PakInterfaceBase* expected = nullptr;
    return reader && gPakInterface.compare_exchange_strong(expected, reader, std::memory_order_acq_rel);
}

bool UnpublishPakInterface(PakInterfaceBase* reader)
{
    PakInterfaceBase* expected = reader;
    return reader && gPakInterface.compare_exchange_strong(expected, nullptr, std::memory_order_acq_rel);
}

namespace PakStdio {

PakFile* FOpen(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    // 't' (text mode) means nothing here; keep the mode letters stdio knows.
    std::string m;
    for (const char* p = mode; *p; ++p)
        if (*p != 't')
            m.push_back(*p);
    FILE* stream = std::fopen(Fw::ToFileSystemPath(name).c_str(), m.c_str());
    if (!stream)
        return nullptr;
    // Linux opens a folder for reading where Windows refuses; callers probing for a file by name
    // must not take a folder of that name for an empty file.
    struct stat st;
    if (::fstat(::fileno(stream), &st) == 0 && S_ISDIR(st.st_mode)) {
        std::fclose(stream);
        return nullptr;
    }
    auto* file = new PakFile;
    file->stream = stream;
    return file;
}

int FClose(PakFile* file)
{
    if (!file)
        return EOF;
    const int result = file->stream ? std::fclose(file->stream) : EOF;
    delete file;
    return result;
}

int FSeek(PakFile* file, long offset, int origin)
{
    return file && file->stream ? std::fseek(file->stream, offset, origin) : -1;
}

long FTell(PakFile* file)
{
    return file && file->stream ? std::ftell(file->stream) : -1L;
}

size_t FRead(void* buffer, size_t elementSize, size_t count, PakFile* file)
{
    return file && file->stream && buffer ? std::fread(buffer, elementSize, count, file->stream) : 0;
}

int FGetC(PakFile* file)
{
    return file && file->stream ? std::fgetc(file->stream) : EOF;
}

int FGetWC(PakFile* file)
{
    // Files of 16-bit text are UTF-16LE whatever the locale: read the unit's two bytes ourselves.
    if (!file || !file->stream)
        return kWideEof;
    const int lo = std::fgetc(file->stream);
    if (lo == EOF)
        return kWideEof;
    const int hi = std::fgetc(file->stream);
    if (hi == EOF)
        return kWideEof;
    return lo | (hi << 8);
}

int UnGetC(int c, PakFile* file)
{
    return file && file->stream ? std::ungetc(c, file->stream) : EOF;
}

char16_t* FGetWS(char16_t* buffer, int n, PakFile* file)
{
    if (!buffer || n <= 0 || !file || !file->stream)
        return nullptr;
    int i = 0;
    while (i < n - 1) {
        const int c = FGetWC(file);
        if (c == kWideEof)
            break;
        buffer[i++] = char16_t(c);
        if (c == '\n')
            break;
    }
    if (i == 0)
        return nullptr;
    buffer[i] = 0;
    return buffer;
}

char* FGetS(char* buffer, int n, PakFile* file)
{
    return file && file->stream && buffer ? std::fgets(buffer, n, file->stream) : nullptr;
}

int FEof(PakFile* file)
{
    return file && file->stream ? std::feof(file->stream) : 1;
}

} // namespace PakStdio

PakFile* PakFOpen(const char* name, const char* mode)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FOpen(name, mode);
    return PakStdio::FOpen(name, mode);
}

int PakFClose(PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FClose(file);
    return PakStdio::FClose(file);
}

int PakFSeek(PakFile* file, long offset, int origin)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FSeek(file, offset, origin);
    return PakStdio::FSeek(file, offset, origin);
}

long PakFTell(PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FTell(file);
    return PakStdio::FTell(file);
}

size_t PakFRead(void* buffer, size_t elementSize, size_t count, PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FRead(buffer, elementSize, count, file);
    return PakStdio::FRead(buffer, elementSize, count, file);
}

int PakFGetC(PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FGetC(file);
    return PakStdio::FGetC(file);
}

int PakFGetWC(PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FGetWC(file);
    return PakStdio::FGetWC(file);
}

int PakUnGetC(int c, PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->UnGetC(c, file);
    return PakStdio::UnGetC(c, file);
}

char16_t* PakFGetWS(char16_t* buffer, int n, PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FGetWS(buffer, n, file);
    return PakStdio::FGetWS(buffer, n, file);
}

char* PakFGetS(char* buffer, int n, PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FGetS(buffer, n, file);
    return PakStdio::FGetS(buffer, n, file);
}

int PakFEof(PakFile* file)
{
    if (PakInterfaceBase* reader = GetPakInterface())
        return reader->FEof(file);
    return PakStdio::FEof(file);
}

std::string PakDescribeSource(const char* name)
{
    std::error_code error;
    PakFile* file = name ? PakFOpen(name, "rb") : nullptr;
    if (!file)
        return "no file in the archives or in " + std::filesystem::current_path(error).string();
    std::string where;
    if (file->entry) {
        PakInterfaceBase* reader = GetPakInterface();
        where = "archive " + (reader ? reader->ArchiveOf(file) : std::string("?"));
    } else if (file->stream) {
        // The name the stream was opened under may have needed the case-insensitive match: ask
        // the system which file it is.
        const std::string link = "/proc/self/fd/" + std::to_string(::fileno(file->stream));
        const std::filesystem::path path = std::filesystem::read_symlink(link, error);
        where = "file " + (error ? Fw::ToFileSystemPath(name) : path.string());
    }
    PakFClose(file);
    return where;
}

bool PakReadWholeFile(const char* name, std::string& out)
{
    out.clear();
    PakFile* file = PakFOpen(name, "rb");
    if (!file)
        return false;
    constexpr size_t kChunk = 64 * 1024;
    for (;;) {
        const size_t have = out.size();
        out.resize(have + kChunk);
        const size_t got = PakFRead(out.data() + have, 1, kChunk, file);
        out.resize(have + got);
        if (got < kChunk)
            break;
    }
    PakFClose(file);
    return true;
}
