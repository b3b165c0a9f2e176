#include "engine/boards/SplashBoard.h"

#include "engine/boards/ScriptLoadBusy.h"
#include "engine/core/CursorManager.h"
#include "engine/core/DebugSettings.h"
#include "engine/boards/BoardHost.h"
#include "framework/app/AppBase.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SpinLock.h"
#include "engine/core/ThreadLauncher.h"
#include "engine/scripting/ExtPythonManager.h"
#include "engine/scripting/GameScript.h"
#include "engine/widgets/SkinTexture.h"
#include "framework/graphics/Color.h"
#include "framework/graphics/Graphics.h"
#include "framework/widgets/WidgetManager.h"

VTBoard_Splash::VTBoard_Splash(VTBoardHost& host, const Platform::XmlNode& node)
    : VTDialog(nullptr, &host.GetHostApp()), host_(host)
{
    const Fw::Rect area = ApplicationArea();
    Resize(0, 0, area.width, area.height);
    if (node)
        LoadNestedDialog(node, L"splash");
}

VTBoard_Splash::~VTBoard_Splash() = default;

void VTBoard_Splash::AddChild(const std::string& name, VTCandyWidget* child)
{
    if (!child)
        return;
    if (gDebugSettings && gDebugSettings->noSplash) {
        delete child; // handed over to be owned: not kept, so freed here
        return;
    }
    child->SetVisible(false);
    if (TextureHasImage(child->GetMainTexture())) {
        pages_.push_back(child);
        // A press on a page dialog comes to the splash first; other widgets have no such field.
        if (auto* page = dynamic_cast<VTDialog*>(child))
            page->SetMouseHandler(this);
    }
    VTCandyWidget::AddChild(name, child);
}

void VTBoard_Splash::Draw(Fw::Graphics* g)
{
    if (!g)
        return;
    g->SetColor(Fw::Color(0, 0, 0)); // opaque
    g->FillRect(0, 0, width, height);
}

void VTBoard_Splash::KeyDown(int /*keyCode*/) { SkipPage(); }

void VTBoard_Splash::MouseDown(int32_t /*x*/, int32_t /*y*/, int /*button*/, int /*clickCount*/) { SkipPage(); }

void VTBoard_Splash::OnBecameVisible()
{
    VTDialog::OnBecameVisible();
    host_.GetCursorManager().DisableDrawing();
    host_.GetHostApp().widgetManager->SetFocus(this);
    if (current_ < pages_.size())
        pages_[current_]->Show();
}

void VTBoard_Splash::OnBecameHidden()
{
    std::atomic<int32_t> unhosted{0};
    SpinLock::Guard lock(gExtPythonManager ? gExtPythonManager->LevelLoadLock() : unhosted);
    VTDialog::OnBecameHidden();
    host_.GetCursorManager().EnableDrawing();
    host_.GetHostApp().widgetManager->SetFocus(nullptr);
    host_.GetHostApp().ShowLoadingScreen();
    // The game starts once: hiding the splash again starts no second InitGame.
    if (startupStarted_)
        return;
    startupStarted_ = true;
    // Raised before the worker exists, so no close request or teardown slips in before it starts.
    RaiseScriptLoadBusy();
    // The worker needs nothing of the board, which may go first; the engine joins it before its
    // managers go.
    GetThreadLauncher().Launch("start-up worker", [sounds = &host_.GetSoundManager()] { InitGameThreadProc(*sounds); });
}

void VTBoard_Splash::Update()
{
    VTDialog::Update();
    if (!visible)
        return;
    if (current_ < pages_.size()) {
        const bool pageVisible = pages_[current_]->visible;
        if (pageVisible)
            advanceArmed_ = true;
        if (!advanceArmed_ || pageVisible)
            return;
    }
    NextPage();
}

void VTBoard_Splash::NextPage()
{
    if (current_ + 1 < pages_.size()) {
        ++current_;
        pages_[current_]->Show();
        advanceArmed_ = false;
    } else {
        Hide();
    }
}

void VTBoard_Splash::SkipPage()
{
    if (current_ < pages_.size())
        pages_[current_]->SetVisible(false);
    advanceArmed_ = true;
}

void VTBoard_Splash::JoinStartupWorker() { GetThreadLauncher().JoinAll(); }

void VTBoard_Splash::InitGameThreadProc(VTSoundManager& sounds)
{
    sounds.LoadAllSamples();
    if (gGameScript)
        gGameScript->CallInitGame();
    LowerScriptLoadBusy();
}
