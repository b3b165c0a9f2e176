// Where the user's files live: the application-data folder ($XDG_DATA_HOME, default
// ~/.local/share) and the settings folder ($XDG_CONFIG_HOME, default ~/.config).
// Folders are returned without a trailing '/'; they need not exist yet.
#pragma once
#include <string>

namespace Platform {

class UserFolders {
public:
    virtual ~UserFolders() = default;
    virtual std::string AppDataFolder() = 0;
    virtual std::string ConfigFolder() = 0;
};

// The process's user folders: the XDG ones unless a test installed others. Never null.
UserFolders& GetUserFolders();
// Installs folders for the process (tests); nullptr restores the XDG ones. Returns the folders
// installed before (nullptr for the XDG ones).
UserFolders* SetUserFolders(UserFolders* folders);

} // namespace Platform
