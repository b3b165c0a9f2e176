// The engine services of a running engine (VTEngineServices over VTEngine): the engine sets them in
// its constructor and removes them in its destructor. Each call reads the engine afresh, so a call
// made while the engine is being built or torn down finds what exists at that moment (a board
// already deleted is skipped).
#pragma once
#include "engine/scripting/EngineServices.h"

class VTEngine;

class VTEngineAppServices final : public VTEngineServices {
public:
    explicit VTEngineAppServices(VTEngine& engine) : engine_(engine) {}

    VTProfileStore* ProfileStore() override;
    VTSoundManager* SoundManager() override;
    VTMusicPlayer* MusicPlayer() override;
    VTLocalization* TextTable() override;
    VTLocalization* KeyTable() override;
    VTCursorManager* CursorManager() override;
    VTImageCache* ImageCache() override;
    VTTextureCatalogue* TextureCatalogue() override;
    Fw::Widget* GameBoard() override;
    Fw::Widget* MouseOverWidget() override;
    void StartLevelLoad(const std::string& name) override;
    void SelectLoadingPicture(const std::string& name) override;
    bool IsWindowed() override;
    bool IsFullScreenForced() override;
    void SwitchScreenMode(bool windowed) override;
    void OpenUrl(const std::string& url) override;
    void EndMainLoop() override;
    bool IsEscMenuActive() override;
    void SetEscMenuActive(bool active) override;
    bool IsMainThread() override;
    void PostToMainThread(std::function<void()> task) override;

private:
    VTEngine& engine_;
};
