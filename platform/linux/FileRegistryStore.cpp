#include "platform/linux/FileRegistryStore.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <fcntl.h>
#include <unistd.h>

namespace Platform {
namespace {

// Every store of the process saves under this lock: two stores of one file share its temporary.
std::mutex gSaveMutex;

// Older builds named the temporary after the process id, so each kill mid-save left one behind.
void RemoveStaleTemporaries(const std::string& path)
{
    namespace fs = std::filesystem;
    const fs::path target(path);
    const std::string prefix = target.filename().string() + ".tmp";
    std::error_code ec;
    fs::directory_iterator it(target.has_parent_path() ? target.parent_path() : fs::path("."), ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.starts_with(prefix) &&
            name.find_first_not_of("0123456789", prefix.size()) == std::string::npos)
            fs::remove(it->path(), ec);
    }
}

} // namespace

FileRegistryStore::FileRegistryStore(std::string path) : path_(std::move(path))
{
    RemoveStaleTemporaries(path_);
    std::ifstream in(path_, std::ios::binary);
    if (in) {
        std::ostringstream text;
        text << in.rdbuf();
        tree_ = RegistryTree::Parse(text.str());
    }
}

std::optional<RegistryValue> FileRegistryStore::ReadValue(std::string_view key, std::string_view name)
{
    std::lock_guard lock(mutex_);
    const RegistryValue* v = tree_.Find(key, name);
    if (!v)
        return std::nullopt;
    return *v;
}

bool FileRegistryStore::WriteValue(std::string_view key, std::string_view name, uint32_t type, const void* data,
                                   size_t size)
{
    std::lock_guard lock(mutex_);
    RegistryTree changed = tree_;
    changed.Set(key, name, RegistryTree::MakeValue(type, data, size));
    if (!Save(changed))
        return false;
    tree_ = std::move(changed);
    return true;
}

bool FileRegistryStore::EraseValue(std::string_view key, std::string_view name)
{
    std::lock_guard lock(mutex_);
    RegistryTree changed = tree_;
    if (!changed.Erase(key, name) || !Save(changed))
        return false;
    tree_ = std::move(changed);
    return true;
}

bool FileRegistryStore::Save(const RegistryTree& tree)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path target(path_);
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), ec);

    // One temporary name per file: a save killed half-way leaves at most this one file, which the
    // next save truncates.
    const std::string temp = path_ + ".tmp";
    std::lock_guard saving(gSaveMutex);
    const std::string text = tree.Serialize();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    size_t done = 0;
    bool ok = true;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n <= 0) {
            ok = false;
            break;
        }
        done += size_t(n);
    }
    // The data must be on disk before the rename makes it the file, or a crash could leave an
    // empty settings file in place of the old one.
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok)
        ok = std::rename(temp.c_str(), path_.c_str()) == 0;
    if (!ok)
        std::remove(temp.c_str());
    return ok;
}

} // namespace Platform
