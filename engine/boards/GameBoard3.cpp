#include "engine/boards/GameBoard3.h"

#include "engine/core/DebugLog.h"
#include "engine/core/Engine.h"
#include "engine/scripting/GameScript.h"
#include "framework/widgets/WidgetManager.h"

VTBoard_Game3* gCurrentGameBoard = nullptr;

namespace {
VTBoard_Game3* AsBoard(Fw::Widget* widget) { return dynamic_cast<VTBoard_Game3*>(widget); }

void LastMousePosition(const VTBoard_Game3& board, int32_t& x, int32_t& y)
{
    x = 0;
    y = 0;
    if (Fw::WidgetManager* manager = board.GetManager()) {
        x = manager->GetLastMouseX();
        y = manager->GetLastMouseY();
    }
}
} // namespace

VTBoard_Game3::VTBoard_Game3() { gCurrentGameBoard = this; }

VTBoard_Game3::~VTBoard_Game3()
{
    // Engine widgets own their children: the script widgets on the board go with it.
    RemoveAllWidgets(true, false);
    if (gCurrentGameBoard == this)
        gCurrentGameBoard = nullptr;
}

bool VTBoard_Game3::IsGameBoard(const Fw::Widget* widget) { return dynamic_cast<const VTBoard_Game3*>(widget) != nullptr; }

void VTBoard_Game3::ForwardMouseDown(Fw::Widget* board, int button, int clickCount)
{
    if (VTBoard_Game3* b = AsBoard(board)) {
        VTMouseDownRecord r;
        LastMousePosition(*b, r.x, r.y);
        r.button = button;
        r.clickCount = clickCount;
        b->mouseQueue_.PushDown(r);
    }
}

void VTBoard_Game3::ForwardMouseUp(Fw::Widget* board, int button)
{
    if (VTBoard_Game3* b = AsBoard(board)) {
        VTMouseUpRecord r;
        LastMousePosition(*b, r.x, r.y);
        r.button = button;
        b->mouseQueue_.PushUp(r);
    }
}

void VTBoard_Game3::ForwardMouseMove(Fw::Widget* board)
{
    if (VTBoard_Game3* b = AsBoard(board)) {
        VTMouseMoveRecord r;
        LastMousePosition(*b, r.x, r.y);
        b->mouseQueue_.PushMove(r);
    }
}

void VTBoard_Game3::StartLevelLoad(const std::string& name)
{
    {
        std::lock_guard<std::mutex> lock(nameLock_);
        levelName_ = name;
    }
    levelPending_ = true;
}

std::string VTBoard_Game3::PendingLevelName() const
{
    std::lock_guard<std::mutex> lock(nameLock_);
    return levelName_;
}

void VTBoard_Game3::OnLevelLoaded()
{
    if (VTEngine* engine = VTEngine::GetInstance()) {
        if (!engine->widgetManager->HasWidget(this))
            engine->widgetManager->AddWidget(this);
        engine->HideLoadingScreen();
    }
    SetVisible(true);
    ResetDebugLogClock();
    levelActive_ = true;
    levelPending_ = false;
}

void VTBoard_Game3::Shutdown()
{
    gScriptLoadBusy = true;
    if (gGameScript)
        gGameScript->CallLevelFree();
    gScriptLoadBusy = false;
    levelActive_ = false;
    levelPending_ = false;
    mouseQueue_.Clear();
}
