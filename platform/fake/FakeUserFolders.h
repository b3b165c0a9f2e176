// Test user folders: fixed paths given by the test (usually a temporary folder).
#pragma once
#include "platform/ServiceSlot.h"
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

using ScopedUserFolders = ScopedService<UserFolders, &SetUserFolders>;

} // namespace Platform
