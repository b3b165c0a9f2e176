// The game board's widget side around its level.
#include "engine/boards/GameBoard.h"

#include "engine/boards/FrameSeconds.h"
#include "engine/boards/ScriptLoadBusy.h"
#include "engine/core/Engine.h"
#include "engine/core/Localization.h"
#include "engine/core/SoundManager.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "framework/app/AppBase.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/ThreadPriority.h"

VTBoard_Game* gGameBoard = nullptr;

namespace {
VTLocalization* KeyTable()
{
    VTEngine* engine = VTEngine::GetInstance();
    return engine ? &engine->GetKeyTable() : nullptr;
}
} // namespace

VTBoard_Game::VTBoard_Game() : level_(*this, KeyTable())
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
    VTEngine* engine = VTEngine::GetInstance();
    if (engine && engine->widgetManager && !engine->widgetManager->HasWidget(this))
        engine->widgetManager->AddWidget(this);
    if (engine)
        engine->HideLoadingScreen();
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
    if (VTEngine* engine = VTEngine::GetInstance())
        if (VTParticleSystemRegistry* registry = engine->GetParticleRegistry())
            registry->ResetAll();
}

void VTBoard_Game::PlayClickSound()
{
    if (VTEngine* engine = VTEngine::GetInstance())
        engine->GetSoundManager().PlaySound("click");
}
