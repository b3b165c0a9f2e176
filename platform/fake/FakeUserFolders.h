// Test user folders: fixed paths given by the test (usually a temporary folder).
#pragma once
#include "platform/UserFolders.h"

namespace Platform {

class FakeUserFolders final : public UserFolders {
public:
    FakeUserFolders(std::string appData, std::string config)
        : appData_(std::move(appData)), config_(std::move(config))
    {
    }
    std::string AppDataFolder() override { return appData_; }
    std::string ConfigFolder() override { return config_; }

private:
    std::string appData_;
    std::string config_;
};

// Installs folders for the lifetime of the object and restores the previous ones (tests).
class ScopedUserFolders {
public:
    explicit ScopedUserFolders(UserFolders& folders) : previous_(SetUserFolders(&folders)) {}
    ~ScopedUserFolders() { SetUserFolders(previous_); }
    ScopedUserFolders(const ScopedUserFolders&) = delete;
    ScopedUserFolders& operator=(const ScopedUserFolders&) = delete;

private:
    UserFolders* previous_;
};

} // namespace Platform
