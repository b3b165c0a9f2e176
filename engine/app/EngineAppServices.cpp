// The engine services of the running engine: each call asks VTEngine::GetInstance() afresh, so a
// call made while the engine is being built or torn down finds what exists at that moment (a board
// already deleted is skipped).
#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "engine/core/Engine.h"
#include "engine/scripting/EngineServices.h"
#include "framework/widgets/WidgetManager.h"

namespace {

class EngineAppServices final : public VTEngineServices {
public:
    VTProfileStore* ProfileStore() override { return Engine().GetProfileStore(); }
    VTSoundManager* SoundManager() override { return &Engine().GetSoundManager(); }
    VTMusicPlayer* MusicPlayer() override { return &Engine().GetMusicPlayer(); }
    VTLocalization* TextTable() override { return &Engine().GetTextTable(); }
    VTLocalization* KeyTable() override { return &Engine().GetKeyTable(); }
    VTCursorManager* CursorManager() override { return &Engine().GetCursorManager(); }
    VTImageCache* ImageCache() override { return &Engine().GetImageCache(); }
    VTTextureCatalogue* TextureCatalogue() override { return &Engine().GetTextureCatalogue(); }
    Fw::Widget* GameBoard() override { return Engine().GetGameBoard(); }
    Fw::Widget* MouseOverWidget() override
    {
        return Engine().widgetManager ? Engine().widgetManager->GetOverWidget() : nullptr;
    }

    void StartLevelLoad(const std::string& name) override
    {
        if (VTBoard_Game3* board = Engine().GetGameBoard())
            board->StartLevelLoad(name);
    }
    void SelectLoadingPicture(const std::string& name) override
    {
        if (VTBoard_LoadScreen* board = Engine().GetLoadingBoard())
            board->SelectPicture(name);
    }

    bool IsWindowed() override { return Engine().isWindowed; }
    bool IsFullScreenForced() override { return Engine().forceFullScreen; }
    void SwitchScreenMode(bool windowed) override { Engine().SwitchScreenMode(windowed); }
    void OpenUrl(const std::string& url) override { Engine().OpenUrl(url, true); }
    void EndMainLoop() override { Engine().EndMainLoop(); }
    bool IsEscMenuActive() override { return Engine().IsEscMenuActive(); }
    void SetEscMenuActive(bool active) override { Engine().SetEscMenuActive(active); }

    bool IsMainThread() override { return Engine().IsMainThread(); }
    void PostToMainThread(std::function<void()> task) override { Engine().OnMainThread(std::move(task)); }

private:
    // Only reached through GetEngineAppServices, which answers null while there is no engine.
    static VTEngine& Engine() { return *VTEngine::GetInstance(); }
};

} // namespace

VTEngineServices* GetEngineAppServices()
{
    static EngineAppServices services;
    return VTEngine::GetInstance() ? &services : nullptr;
}
