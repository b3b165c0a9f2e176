// The engine's application object: construction of the catalogues and managers, the loading step
// over "cfg\cfg.xml" and "cfg\ui.xml", the root dialog's lock, the cursor overlay, the focus pause
// and the ordered teardown.
#include "engine/app/Engine.h"

#include "engine/boards/GameBoard3.h"
#include "engine/core/CursorManager.h"
#include "engine/core/DebugSettings.h"
#include "engine/app/EngineExtensions.h"
#include "engine/core/FontCatalogue.h"
#include "engine/core/ImageCache.h"
#include "engine/core/Localization.h"
#include "engine/core/MusicPlayer.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SoundSystem.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "engine/scripting/GameScript.h"
#include "framework/assets/PakInterface.h"
#include "framework/core/Rand15.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/widgets/Widget.h"
#include "framework/widgets/WidgetManager.h"

#include <ctime>
#include <unistd.h>

// The sound system's lifetime as an object: made with the engine, its end stops the device.
class VTSoundSystemScope {
public:
    VTSoundSystemScope() = default;
    ~VTSoundSystemScope() { ShutdownSoundSystem(); }
    VTSoundSystemScope(const VTSoundSystemScope&) = delete;
    VTSoundSystemScope& operator=(const VTSoundSystemScope&) = delete;
};

namespace {

VTEngine* gEngine = nullptr;

// The game's archives, opened in this order (a later one's files replace an earlier one's).
constexpr const char* kArchives[] = {"loc.pak", "data.pak", "mod.pak"};

} // namespace

VTEngine::VTEngine(const std::string& folder)
{
    if (!folder.empty())
        programFolder = folder;
    if (!programFolder.empty() && ::chdir(programFolder.c_str()) != 0) {
        // Stays in the current folder; the game's files then resolve from there.
    }

    pak_ = std::make_unique<PakInterface>();
    for (const char* archive : kArchives)
        pak_->OpenPakArchive(archive);

    productName = "Tandem4";
    title.clear();
    productVersion = "1.0";
    registryKey = "Varnel Games\\Tandem4";
    width = 800;
    height = 600;
    gEngine = this;
    SetEngineAppServices(&appServices_);
    SetAppWidgetServices(&widgetServices_);
    SetEffectHost(this);

    if (gDebugSettings)
        gDebugSettings->Load();

    soundSystem_ = std::make_unique<VTSoundSystemScope>();
    soundManager_ = std::make_unique<VTSoundManager>();
    musicPlayer_ = std::make_unique<VTMusicPlayer>();
    textureCatalogue_ = std::make_unique<VTTextureCatalogue>(*this);
    imageCache_ = std::make_unique<VTImageCache>(*textureCatalogue_);
    // The cursor manager loads its images from the catalogue made after it.
    cursorManager_ = std::make_unique<VTCursorManager>(*this, textureCatalogue_.get());
    fontCatalogue_ = std::make_unique<VTFont>(this);
    textTable_ = std::make_unique<VTLocalization>();
    keyTable_ = std::make_unique<VTLocalization>();
    particleRegistry_ = CreateEngineParticleRegistry();

    rootDialog_ = new VTDialog(nullptr, this);
    rootDialog_->SetVisible(false);
    ResizeRootDialog();
    widgetManager->AddWidget(rootDialog_);
}

VTEngine::~VTEngine()
{
    imageCache_->ResetAll();
    // Root dialog, boards and the top-level widgets scripts made.
    widgetManager->RemoveAllWidgets(true, false);
    rootDialog_ = nullptr;

    cursorManager_.reset();
    keyTable_.reset();
    textTable_.reset();
    soundManager_.reset();
    musicPlayer_.reset();
    soundSystem_.reset();
    DestroyEngineParticleRegistry(particleRegistry_);
    particleRegistry_ = nullptr;
    imageCache_.reset();
    textureCatalogue_.reset();
    fontCatalogue_.reset();
    FreeEngineEffectCatalogue();
    pak_.reset();
    // A later engine (tests make several) must not find this one.
    if (GetEffectHost() == this)
        SetEffectHost(nullptr);
    if (GetEngineAppServices() == &appServices_)
        SetEngineAppServices(nullptr);
    if (VTWidgetServices* set = SetAppWidgetServices(nullptr); set != &widgetServices_)
        SetAppWidgetServices(set); // a later engine's
    if (gEngine == this)
        gEngine = nullptr;
}

VTEngine* VTEngine::GetInstance() { return gEngine; }

Fw::Font* VTEngine::GetFont(std::string_view name) { return fontCatalogue_->GetFont(name); }

void VTEngine::ResizeRootDialog()
{
    if (rootDialog_)
        rootDialog_->Resize(0, 0, width, height);
}

void VTEngine::WidgetsLock()
{
    if (!rootDialog_)
        return;
    widgetManager->BringToFront(rootDialog_);
    rootDialog_->SetVisible(true);
}

void VTEngine::WidgetsUnlock()
{
    if (rootDialog_)
        rootDialog_->SetVisible(false);
}

void VTEngine::Init()
{
    Fw::AppBase::Init();
    Fw::SeedRand(static_cast<uint32_t>(std::time(nullptr)));
    LoadEngineEffectCatalogue();
    InitSoundSystem(static_cast<intptr_t>(invisibleWindow));
}

void VTEngine::LoadingThreadProc()
{
    Platform::XmlDocument cfg = CreateXmlDocument();
    if (LoadXmlFile("cfg\\cfg.xml", cfg)) {
        if (const Platform::XmlNode root = cfg.SelectSingleNode("root")) {
            musicPlayer_->LoadMusicStreamList(root);
            soundManager_->LoadFromXml(root);
        }
    }
    Platform::XmlDocument ui = CreateXmlDocument();
    if (LoadXmlFile("cfg\\ui.xml", ui)) {
        if (const Platform::XmlNode root = ui.SelectSingleNode("root")) {
            textureCatalogue_->LoadFromXml(root);
            fontCatalogue_->LoadFromXml(root);
            cursorManager_->LoadFromXml(root);
        }
    }
    cursorManager_->SetCursor("normal");
    cursorManager_->DisableDrawing();
}

void VTEngine::LoadingThreadCompleted()
{
    ApplyDeferredCursorCalls();
    cursorManager_->EnableDrawing();
}

bool VTEngine::UpdateAppStep(bool* updated)
{
    ApplyDeferredCursorCalls();
    StepBoards();
    return Fw::AppBase::UpdateAppStep(updated);
}

void VTEngine::StepBoards()
{
    // A level load has ended when the finished flag is back up; the completed flag says the
    // initial loading step (which made the board) has ended.
    if (loadingThreadCompleted && loadingThreadFinished && gGameBoard && gGameBoard->IsLevelLoadPending())
        gGameBoard->OnLevelLoaded();
    // A level load requested from another thread, or during the last one, starts here.
    if (loadingThreadCompleted && gCurrentGameBoard)
        gCurrentGameBoard->StartWaitingLevelLoad();
}

void VTEngine::DrawOverlay(Fw::Graphics* g)
{
    if (cursorManager_ && g)
        cursorManager_->Draw(*g);
}

void VTEngine::AppGotFocus()
{
    Fw::AppBase::AppGotFocus();
    PauseAllSound(false);
}

void VTEngine::AppLostFocus()
{
    Fw::AppBase::AppLostFocus();
    PauseAllSound(true);
}

std::unique_ptr<Fw::MemoryImage> VTEngine::LoadEngineImage(const std::string& path)
{
    return std::unique_ptr<Fw::MemoryImage>(CreateImageFromFile(path, true));
}

bool VTEngine::IsScriptLoadBusy() { return gScriptLoadBusy; }

void VTEngine::WriteScriptLog(const std::string& text) { ScriptLog(text.c_str()); }

void VTEngine::ShowScriptTraceback() { PrintScriptTraceback(); }

void VTEngine::GetLastMousePosition(int32_t& x, int32_t& y)
{
    x = widgetManager ? widgetManager->GetLastMouseX() : 0;
    y = widgetManager ? widgetManager->GetLastMouseY() : 0;
}

void VTEngine::OnMainThread(std::function<void()> fn)
{
    if (std::this_thread::get_id() == mainThread_) {
        fn();
        return;
    }
    std::lock_guard<std::mutex> lock(deferredLock_);
    deferredCursorCalls_.push_back(std::move(fn));
}

void VTEngine::ApplyDeferredCursorCalls()
{
    std::vector<std::function<void()>> calls;
    {
        std::lock_guard<std::mutex> lock(deferredLock_);
        calls.swap(deferredCursorCalls_);
    }
    for (const std::function<void()>& call : calls)
        call();
}

void VTEngine::SetCustomCursorsEnabled(bool on)
{
    OnMainThread([this, on] { EnableCustomCursors(on); });
}

void VTEngine::SelectCursorNumber(int32_t number)
{
    OnMainThread([this, number] { SetCursor(number); });
}

void VTEngine::SetCursorSlotImage(int32_t slot, Fw::Image* image)
{
    OnMainThread([this, slot, image] { SetCursorImage(slot, image); });
}
