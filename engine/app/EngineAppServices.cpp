// The engine services of a running engine.
#include "engine/app/EngineAppServices.h"

#include "engine/app/Engine.h"
#include "engine/boards/GameBoard3.h"
#include "engine/boards/LoadScreenBoard.h"
#include "framework/widgets/WidgetManager.h"

VTProfileStore* VTEngineAppServices::ProfileStore() { return engine_.GetProfileStore(); }
VTSoundManager* VTEngineAppServices::SoundManager() { return &engine_.GetSoundManager(); }
VTMusicPlayer* VTEngineAppServices::MusicPlayer() { return &engine_.GetMusicPlayer(); }
VTLocalization* VTEngineAppServices::TextTable() { return &engine_.GetTextTable(); }
VTLocalization* VTEngineAppServices::KeyTable() { return &engine_.GetKeyTable(); }
VTCursorManager* VTEngineAppServices::CursorManager() { return &engine_.GetCursorManager(); }
VTImageCache* VTEngineAppServices::ImageCache() { return &engine_.GetImageCache(); }
VTTextureCatalogue* VTEngineAppServices::TextureCatalogue() { return &engine_.GetTextureCatalogue(); }
Fw::Widget* VTEngineAppServices::GameBoard() { return engine_.GetGameBoard(); }

Fw::Widget* VTEngineAppServices::MouseOverWidget()
{
    return engine_.widgetManager ? engine_.widgetManager->GetOverWidget() : nullptr;
}

void VTEngineAppServices::StartLevelLoad(const std::string& name)
{
    if (VTBoard_Game3* board = engine_.GetGameBoard())
        board->StartLevelLoad(name);
}

void VTEngineAppServices::SelectLoadingPicture(const std::string& name)
{
    if (VTBoard_LoadScreen* board = engine_.GetLoadingBoard())
        board->SelectPicture(name);
}

bool VTEngineAppServices::IsWindowed() { return engine_.isWindowed; }
bool VTEngineAppServices::IsFullScreenForced() { return engine_.forceFullScreen; }
void VTEngineAppServices::SwitchScreenMode(bool windowed) { engine_.SwitchScreenMode(windowed); }
void VTEngineAppServices::OpenUrl(const std::string& url) { engine_.OpenUrl(url, true); }
void VTEngineAppServices::EndMainLoop() { engine_.EndMainLoop(); }
bool VTEngineAppServices::IsEscMenuActive() { return engine_.IsEscMenuActive(); }
void VTEngineAppServices::SetEscMenuActive(bool active) { engine_.SetEscMenuActive(active); }
bool VTEngineAppServices::IsMainThread() { return engine_.IsMainThread(); }
void VTEngineAppServices::PostToMainThread(std::function<void()> task) { engine_.OnMainThread(std::move(task)); }
