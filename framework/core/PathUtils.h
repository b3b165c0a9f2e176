// Path helpers on narrow (UTF-8) paths as data and code write them: '\' and '/' are both
// separators; a leading '/' or a drive prefix ("c:") makes a path absolute. The functions that touch
// the file system go through ToFileSystemPath ('\' to '/', case-insensitive fallback).
#pragma once
#include <string>
#include <string_view>

namespace Fw {

// The part after the last separator (the whole path when there is none); with noExtension, also
// cut before the last '.' of that part.
std::string GetPathFileName(std::string_view path, bool noExtension = false);
// The part before the last separator, with the separator when withSeparator; empty without one.
std::string GetPathFolder(std::string_view path, bool withSeparator = false);
// path without one trailing separator.
std::string RemoveTrailingSlash(std::string_view path);
// path with a trailing '\' (backslash) or '/' unless it is empty or already ends in a separator.
std::string AddTrailingSlash(std::string_view path, bool backslash = false);

// path taken relative to the folder base: ".." removes the last part of the result (or is kept
// when there is nothing to remove in a relative result), "." is dropped. An absolute path (drive
// prefix or leading '/') is returned unchanged. The separator written is '\' when either input
// holds a '\', else '/'.
std::string ResolveRelativePath(std::string_view path, std::string_view base);

// Creates every folder of path in turn; true when the whole path exists as a folder afterwards.
bool CreateDirectories(std::string_view path);
// Deletes folder with everything below it; deletes what it can and returns false on any failure.
// Symbolic links are removed, never followed. A name shorter than 2 characters fails at once.
bool DeleteTree(std::string_view folder);

// Sets the application-data folder (a separator is appended unless it ends in one; '/' unless the
// folder is written with '\'). GetAppDataFolder returns it; empty until set. Main thread.
void SetAppDataFolder(std::string_view folder);
std::string GetAppDataFolder();

} // namespace Fw
