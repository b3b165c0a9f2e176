// Turns a name as data and code write it ('\' or '/', any letter case) into a path for the file
// system: '\' becomes '/', and a part that does not exist with its exact spelling is matched
// case-insensitively (ASCII) against the entries of its folder. A leading '/' is absolute.
#pragma once
#include <string>
#include <string_view>

namespace Fw {

// The path to hand to the file system. Parts that match nothing are kept as written (so a file
// about to be created keeps its name inside the matched folders).
std::string ToFileSystemPath(std::string_view name);

} // namespace Fw
