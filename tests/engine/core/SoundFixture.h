// A started sound system on the recording device for the sound manager's tests, with sample
// files in a temporary folder and XML parsed from text.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "engine/core/SoundSystem.h"
#include "engine/core/XmlAccess.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/TempFolder.h"

class SoundFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        previous_ = Platform::SetSoundDevice(&device_);
        InitSoundSystem(0);
        ASSERT_TRUE(IsSoundSystemUp());
        device_.ClearLog();
    }
    void TearDown() override
    {
        ShutdownSoundSystem();
        Platform::SetSoundDevice(previous_);
    }

    // Writes a small file named name and returns its path (the recording device does not decode).
    std::string SampleFile(const std::string& name)
    {
        const std::string path = folder_.File(name);
        TestSupport::WriteFileBytes(path, "RIFF-sample-" + name);
        return path;
    }

    // The document element of xml.
    static Platform::XmlNode ParseRoot(const std::string& xml)
    {
        Platform::XmlDocument document = CreateXmlDocument();
        EXPECT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document)) << xml;
        return document.DocumentElement();
    }

    // Lines of the device log from index from on.
    std::vector<std::string> CallsSince(size_t from) const
    {
        const auto calls = device_.Calls();
        return std::vector<std::string>(calls.begin() + std::min(from, calls.size()), calls.end());
    }

    Platform::RecordingSoundDevice device_;
    Platform::SoundDevice* previous_ = nullptr;
    TestSupport::TempFolder folder_;
};
