// Scratch folder and checks of the fuzz targets.
#include "FuzzSupport.h"

#include "support/ScratchFolder.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace FuzzSupport {

std::string WriteInput(const std::string& name, const uint8_t* data, size_t size)
{
    static TestSupport::ScratchFolder folder; // lives until exit, so every input lands inside it
    std::ofstream out(folder.Path() + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    out.close();
    if (!out) {
        std::fprintf(stderr, "fuzz: cannot write %s\n", name.c_str());
        std::abort();
    }
    return name;
}

void Check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace FuzzSupport
