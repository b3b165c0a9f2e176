// Archive reader: archive opening, the entry table, stdio-like reads on entries and plain files,
// and the directory search over archives and the file system.
#include "framework/assets/PakInterface.h"

#include "framework/assets/PakArchiveFormat.h"
#include "framework/assets/PakPath.h"
#include "framework/core/FileSystemPath.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <limits>

namespace {

bool IsArchiveReadMode(const char* mode)
{
    return strcasecmp(mode, "r") == 0 || strcasecmp(mode, "rb") == 0 || strcasecmp(mode, "rt") == 0;
}

const uint8_t* EntryData(const PakEntry& e)
{
    return e.archive->Bytes().data() + e.start;
}

uint32_t BytesLeft(const PakFile& f)
{
    return f.position < 0 || uint32_t(f.position) >= f.entry->size ? 0 : f.entry->size - uint32_t(f.position);
}

// Next plain byte of an entry, or -1 at the end; '\r' is never returned.
int NextChar(PakFile& f)
{
    for (;;) {
        if (BytesLeft(f) == 0)
            return -1;
        const int c = EntryData(*f.entry)[f.position++] ^ Pak::kScrambleKey;
        if (c != '\r')
            return c;
    }
}

// Next little-endian 16-bit unit of an entry, or 0xFFFF at the end (a single trailing byte is the
// end too); 13 ('\r') is never returned.
int NextWideChar(PakFile& f)
{
    for (;;) {
        if (BytesLeft(f) < 2)
            return 0xFFFF;
        const uint8_t* p = EntryData(*f.entry) + f.position;
        const int c = (p[0] ^ Pak::kScrambleKey) | (p[1] ^ Pak::kScrambleKey) << 8;
        f.position += 2;
        if (c != '\r')
            return c;
    }
}

// fgets over next(entry): stops after '\n', at n - 1 characters or at the end; null when the entry
// ended before anything was stored. n <= 0 leaves the buffer untouched (there is no room even for
// the terminating 0).
template <class Char, class Next> Char* ReadLine(Char* buffer, int n, PakFile& f, Next next, int endValue)
{
    if (n <= 0)
        return buffer;
    int count = 0;
    int c = 0;
    while (count < n - 1) {
        c = next(f);
        if (c == endValue)
            break;
        buffer[count++] = Char(c);
        if (c == '\n')
            break;
    }
    buffer[count] = 0;
    return count == 0 && c == endValue ? nullptr : buffer;
}

// Windows find data of a file-system entry.
void FillFromStat(const std::string& name, const struct stat& st, PakFindFileData* out)
{
    const uint64_t time = Pak::UnixTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    *out = PakFindFileData{};
    out->attributes = S_ISDIR(st.st_mode) ? 0x10 : 0x80;
    out->creationTime = time;
    out->lastAccessTime = Pak::UnixTimeToFileTime(st.st_atim.tv_sec, st.st_atim.tv_nsec);
    out->lastWriteTime = time;
    out->fileSize = S_ISDIR(st.st_mode) ? 0 : uint64_t(st.st_size);
    out->fileName = name;
}

} // namespace

// A directory search: archive entries first, then the matches in one folder of the file system.
struct PakInterface::FindData {
    std::string pattern; // normalised
    std::string lastKey;      // key of the archive entry reported last
    bool reportedAny = false; // an entry's key may be empty, so lastKey alone cannot tell
    bool inFileSystem = false;
    std::unique_ptr<DIR, int (*)(DIR*)> folder{nullptr, &::closedir};
    std::string folderPath;  // as opened, with a trailing '/' unless empty
    std::string namePattern; // the pattern's last component

    // Starts the file-system part; false when the folder cannot be read.
    bool OpenFolder()
    {
        inFileSystem = true;
        const size_t slash = pattern.rfind('\\');
        namePattern = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
        folderPath = slash == std::string::npos ? "" : Fw::ToFileSystemPath(pattern.substr(0, slash + 1));
        if (!folderPath.empty() && folderPath.back() != '/')
            folderPath += '/';
        folder.reset(::opendir(folderPath.empty() ? "." : folderPath.c_str()));
        return folder != nullptr;
    }

    bool NextFileSystemMatch(PakFindFileData* out)
    {
        if (!folder)
            return false;
        while (const dirent* e = ::readdir(folder.get())) {
            const std::string name = e->d_name;
            if (name == "." || name == ".." || !Pak::MatchesWildcard(namePattern, name))
                continue;
            struct stat st;
            if (::stat((folderPath + name).c_str(), &st) != 0)
                continue;
            if (out)
                FillFromStat(name, st, out);
            return true;
        }
        return false;
    }
};

PakInterface::PakInterface()
{
    PublishPakInterface(this);
}

// Archives are unmapped with the members; no file may be read through this reader afterwards.
PakInterface::~PakInterface()
{
    UnpublishPakInterface(this);
}

bool PakInterface::OpenPakArchive(const std::string& name)
{
    auto archive = std::make_unique<PakCollection>(Fw::ToFileSystemPath(name));
    if (!archive->Valid())
        return false;
    const auto directory = Pak::ParseDirectory(archive->Bytes());
    if (!directory)
        return false;
    for (const Pak::DirectoryEntry& d : *directory)
        // Keyed as lookups are, so a stored name with '/' or doubled separators can be opened.
        entries[Pak::NormalizePakPath(d.name)] = PakEntry{archive.get(), d.name, d.fileTime, d.start, d.size};
    archives.push_back(std::move(archive));
    return true;
}

PakFile* PakInterface::FOpen(const char* name, const char* mode)
{
    if (!name || !mode)
        return nullptr;
    if (IsArchiveReadMode(mode)) {
        const auto it = entries.find(Pak::NormalizePakPath(name));
        if (it != entries.end())
            return new PakFile{&it->second, 0, nullptr};
    }
    return PakStdio::FOpen(name, mode);
}

std::string PakInterface::ArchiveOf(const PakFile* file) const
{
    return (file && file->entry && file->entry->archive) ? file->entry->archive->Path() : std::string();
}

int PakInterface::FClose(PakFile* file)
{
    if (!file || !file->entry)
        return PakStdio::FClose(file);
    delete file;
    return 0;
}

int PakInterface::FSeek(PakFile* file, long offset, int origin)
{
    if (!file || !file->entry)
        return PakStdio::FSeek(file, offset, origin);
    int64_t base = 0;
    if (origin == SEEK_CUR)
        base = file->position;
    else if (origin == SEEK_END)
        base = file->entry->size;
    const int64_t step = std::clamp<long>(offset, INT32_MIN, INT32_MAX);
    file->position = int32_t(std::clamp<int64_t>(base + step, 0, file->entry->size));
    return 0;
}

long PakInterface::FTell(PakFile* file)
{
    return file && file->entry ? file->position : PakStdio::FTell(file);
}

size_t PakInterface::FRead(void* buffer, size_t elementSize, size_t count, PakFile* file)
{
    if (!file || !file->entry)
        return PakStdio::FRead(buffer, elementSize, count, file);
    if (!buffer || elementSize == 0 || count == 0)
        return 0;
    // elementSize x count may overflow: anything above the bytes left asks for all of them.
    const size_t left = BytesLeft(*file);
    const size_t wanted =
        count > std::numeric_limits<size_t>::max() / elementSize ? left : elementSize * count;
    const size_t n = std::min(wanted, left);
    Pak::Descramble(static_cast<uint8_t*>(buffer), EntryData(*file->entry) + file->position, n);
    file->position += int32_t(n);
    return n / elementSize;
}

int PakInterface::FGetC(PakFile* file)
{
    return file && file->entry ? NextChar(*file) : PakStdio::FGetC(file);
}

int PakInterface::FGetWC(PakFile* file)
{
    return file && file->entry ? NextWideChar(*file) : PakStdio::FGetWC(file);
}

int PakInterface::UnGetC(int c, PakFile* file)
{
    if (!file || !file->entry)
        return PakStdio::UnGetC(c, file);
    if (file->position > 0)
        --file->position;
    return c;
}

char16_t* PakInterface::FGetWS(char16_t* buffer, int n, PakFile* file)
{
    if (!file || !file->entry || !buffer)
        return PakStdio::FGetWS(buffer, n, file);
    return ReadLine(buffer, n, *file, NextWideChar, 0xFFFF);
}

char* PakInterface::FGetS(char* buffer, int n, PakFile* file)
{
    if (!file || !file->entry || !buffer)
        return PakStdio::FGetS(buffer, n, file);
    return ReadLine(buffer, n, *file, NextChar, -1);
}

int PakInterface::FEof(PakFile* file)
{
    return file && file->entry ? (BytesLeft(*file) == 0 ? 1 : 0) : PakStdio::FEof(file);
}

bool PakInterface::NextArchiveMatch(FindData& search, PakFindFileData* out) const
{
    const size_t star = search.pattern.find('*');
    if (star == std::string::npos)
        return false;
    const std::string_view prefix = std::string_view(search.pattern).substr(0, star);
    const std::string_view rest = std::string_view(search.pattern).substr(star + 1);
    auto it = search.reportedAny ? entries.upper_bound(search.lastKey) : entries.begin();
    for (; it != entries.end(); ++it) {
        const std::string_view key = it->first;
        if (!key.starts_with(prefix))
            continue;
        const bool matches = rest.empty() || rest == ".*" ||
                             (key.size() >= prefix.size() + rest.size() && key.ends_with(rest));
        if (!matches)
            continue;
        const PakEntry& e = it->second;
        if (out) {
            *out = PakFindFileData{};
            out->creationTime = out->lastAccessTime = out->lastWriteTime = e.fileTime;
            out->fileSize = e.size;
            const size_t slash = e.name.rfind('\\');
            out->fileName = slash == std::string::npos ? e.name : e.name.substr(slash + 1);
        }
        search.lastKey = it->first;
        search.reportedAny = true;
        return true;
    }
    return false;
}

PakFindHandle PakInterface::FindFirstFile(const char* pattern, PakFindFileData* out)
{
    if (!pattern)
        return kInvalidPakFindHandle;
    auto search = std::make_unique<FindData>();
    search->pattern = Pak::NormalizePakPath(pattern);
    if (NextArchiveMatch(*search, out))
        return search.release();
    if (search->OpenFolder() && search->NextFileSystemMatch(out))
        return search.release();
    return kInvalidPakFindHandle;
}

bool PakInterface::FindNextFile(PakFindHandle handle, PakFindFileData* out)
{
    if (!handle || handle == kInvalidPakFindHandle)
        return false;
    auto& search = *static_cast<FindData*>(handle);
    if (!search.inFileSystem) {
        if (NextArchiveMatch(search, out))
            return true;
        search.OpenFolder();
    }
    return search.NextFileSystemMatch(out);
}

bool PakInterface::FindClose(PakFindHandle handle)
{
    if (!handle || handle == kInvalidPakFindHandle)
        return false;
    delete static_cast<FindData*>(handle);
    return true;
}
