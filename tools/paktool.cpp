// Command-line tool for the game's archives:
//   paktool create ARCHIVE DIR    pack every file under DIR (names relative to DIR, '\' separated)
//   paktool list ARCHIVE          print size, file time and name of every entry in directory order
//   paktool extract ARCHIVE DIR   unpack every entry under DIR (later duplicates overwrite earlier)
// Exit code 0 on success, 1 on failure, 2 on a usage error.
#include "framework/assets/PakArchiveFormat.h"
#include "framework/assets/PakArchiveWriter.h"
#include "framework/assets/PakCollection.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

int Usage()
{
    std::fprintf(stderr, "usage: paktool create ARCHIVE DIR | list ARCHIVE | extract ARCHIVE DIR\n");
    return 2;
}

int Fail(const std::string& message)
{
    std::fprintf(stderr, "paktool: %s\n", message.c_str());
    return 1;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        return std::nullopt;
    return data;
}

int Create(const std::string& archive, const fs::path& folder)
{
    std::error_code ec;
    if (!fs::is_directory(folder, ec))
        return Fail(folder.string() + " is not a folder");
    std::vector<fs::path> files;
    for (fs::recursive_directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file())
            files.push_back(it->path());
    if (ec)
        return Fail("cannot read " + folder.string() + ": " + ec.message());
    std::sort(files.begin(), files.end()); // the same folder always gives the same archive

    std::vector<Pak::WriterEntry> entries;
    for (const fs::path& file : files) {
        Pak::WriterEntry e;
        e.name = file.lexically_relative(folder).generic_string();
        std::replace(e.name.begin(), e.name.end(), '/', '\\');
        auto data = ReadWholeFile(file);
        if (!data)
            return Fail("cannot read " + file.string());
        e.data = std::move(*data);
        struct stat st;
        if (::stat(file.c_str(), &st) == 0)
            e.fileTime = Pak::UnixTimeToFileTime(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
        entries.push_back(std::move(e));
    }
    std::string error;
    if (!Pak::WriteArchive(archive, entries, &error))
        return Fail(error);
    std::printf("%zu files packed into %s\n", entries.size(), archive.c_str());
    return 0;
}

// Maps and parses archive; prints the reason and returns nothing when it is not a valid archive.
std::optional<std::vector<Pak::DirectoryEntry>> OpenArchive(const PakCollection& map,
                                                            const std::string& archive)
{
    if (!map.Valid()) {
        Fail("cannot open " + archive);
        return std::nullopt;
    }
    std::string error;
    auto directory = Pak::ParseDirectory(map.Bytes(), &error);
    if (!directory)
        Fail(archive + ": " + error);
    return directory;
}

int List(const std::string& archive)
{
    const PakCollection map(archive);
    const auto directory = OpenArchive(map, archive);
    if (!directory)
        return 1;
    for (const Pak::DirectoryEntry& e : *directory)
        std::printf("%10u  %016llx  %s\n", e.size, static_cast<unsigned long long>(e.fileTime),
                    e.name.c_str());
    return 0;
}

// The relative path an entry name stands for, or nothing when it would leave the target folder.
std::optional<fs::path> SafeRelativePath(const std::string& name)
{
    std::string generic = name;
    std::replace(generic.begin(), generic.end(), '\\', '/');
    const fs::path path(generic);
    if (generic.empty() || path.has_root_path())
        return std::nullopt;
    for (const fs::path& part : path)
        if (part == ".." || part == "." || part.empty())
            return std::nullopt;
    return path;
}

int Extract(const std::string& archive, const fs::path& folder)
{
    const PakCollection map(archive);
    const auto directory = OpenArchive(map, archive);
    if (!directory)
        return 1;
    for (const Pak::DirectoryEntry& e : *directory) {
        const auto relative = SafeRelativePath(e.name);
        if (!relative)
            return Fail("refusing entry name outside the target folder: " + e.name);
        const fs::path target = folder / *relative;
        std::error_code ec;
        fs::create_directories(target.parent_path(), ec);
        std::vector<uint8_t> data(e.size);
        Pak::Descramble(data.data(), map.Bytes().data() + e.start, e.size);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        if (!out || !out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size())))
            return Fail("cannot write " + target.string());
    }
    std::printf("%zu files extracted to %s\n", directory->size(), folder.string().c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3)
        return Usage();
    const std::string command = argv[1];
    if (command == "create" && argc == 4)
        return Create(argv[2], argv[3]);
    if (command == "list" && argc == 3)
        return List(argv[2]);
    if (command == "extract" && argc == 4)
        return Extract(argv[2], argv[3]);
    return Usage();
}
