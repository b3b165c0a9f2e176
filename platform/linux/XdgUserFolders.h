// The XDG base directories, read from the environment at each call (an empty or relative value
// is ignored, as the XDG rules say); $HOME, else the password database, supplies the defaults.
#pragma once
#include "platform/UserFolders.h"

namespace Platform {

class XdgUserFolders final : public UserFolders {
public:
    std::string AppDataFolder() override;
    std::string ConfigFolder() override;
};

} // namespace Platform
