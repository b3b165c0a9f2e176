// Read-only mapping of one archive file (POSIX open + mmap).
#include "framework/assets/PakCollection.h"

#include <filesystem>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

PakCollection::PakCollection(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    this->path = error ? path : absolute.lexically_normal().string();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size >= 0) {
        size = size_t(st.st_size);
        if (size == 0) {
            valid = true; // nothing to map; the parser rejects it as too short
        } else {
            void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
            if (p != MAP_FAILED) {
                view = p;
                valid = true;
            }
        }
    }
    ::close(fd); // the mapping keeps the file's data reachable
}

PakCollection::~PakCollection()
{
    if (view)
        ::munmap(view, size);
}
