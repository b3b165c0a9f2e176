// The game board's widget side around its level.
#include "engine/boards/GameBoard.h"

#include "engine/core/FrameSeconds.h"
#include "engine/boards/ScriptLoadBusy.h"
#include "engine/boards/BoardHost.h"
#include "engine/core/Localization.h"
#include "engine/core/SoundManager.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "framework/app/AppBase.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/ThreadPriority.h"

VTBoard_Game* gGameBoard = nullptr;

VTBoard_Game::VTBoard_Game(VTBoardHost* host) : host_(host), level_(*this, host ? &host->GetKeyTable() : nullptr)
{
    Fw::InitTriangleRasterizers();
    gGameBoard = this;
    const Fw::Rect area = ApplicationArea();
    VTCandyWidget::Resize(0, 0, area.width, area.height);
}

VTBoard_Game::~VTBoard_Game()
{
    if (gGameBoard == this)
        gGameBoard = nullptr;
}

void VTBoard_Game::Update()
{
    VTCandyWidget::Update();
    level_.Step(Fw::gApplication ? Fw::gApplication->frameTime : 0);
}

void VTBoard_Game::MouseMove(int32_t x, int32_t y)
{
    VTCandyWidget::MouseMove(x, y);
    level_.TrackHover(x, y);
}

void VTBoard_Game::MouseDown(int32_t x, int32_t y, int button, int /*clickCount*/)
{
    if (button == 0 && level_.IsLevelActive())
        level_.ClickHovered(x, y);
}

void VTBoard_Game::OnShow()
{
    if (Fw::WidgetContainer* parent = GetParent())
        parent->SetFocus(this);
}

void VTBoard_Game::OnHide()
{
    if (Fw::WidgetContainer* parent = GetParent())
        parent->SetFocus(nullptr);
}

void VTBoard_Game::OnLevelLoaded()
{
    if (Fw::gApplication)
        Fw::gApplication->loadingThreadBusy = false;
    Platform::SetCurrentThreadPriority(Platform::kThreadPriorityNormal);
    if (host_) {
        Fw::AppBase& app = host_->GetHostApp();
        if (app.widgetManager && !app.widgetManager->HasWidget(this))
            app.widgetManager->AddWidget(this);
        app.HideLoadingScreen();
    }
    Show();
    level_.ResetLevelState();
    levelLoadPending_ = false;
    if (Fw::gApplication)
        Fw::gApplication->loadingThreadFinished = true;
}

void VTBoard_Game::Shutdown()
{
    {
        ScriptLoadBusyHold busy;
        UnloadLevel();
    }
    OnShutdown();
}

bool VTBoard_Game::IsBoardActive() const { return Fw::gApplication && Fw::gApplication->active && visible; }

void VTBoard_Game::OnLevelReset()
{
    if (host_)
        if (VTParticleSystemRegistry* registry = host_->GetParticleRegistry())
            registry->ResetAll();
}

void VTBoard_Game::PlayClickSound()
{
    if (host_)
        host_->GetSoundManager().PlaySound("click");
}
