// The game board: the full-screen engine widget that hosts a level. It owns the level (GameLevel:
// files, money, stages, event queue, level objects, waypoint graphs) and answers its hooks, runs
// the level step once per board update with the application's frame time, hands moves and left
// presses to the level's hover and click, takes the widget manager's focus while shown, and hands
// a finished level load over on the main thread. One per process (gGameBoard). Main thread.
#pragma once
#include "engine/boards/GameLevel.h"
#include "engine/boards/GameLevelHooks.h"
#include "engine/widgets/CandyWidget.h"

#include <atomic>
#include <cstdint>

class VTBoardHost;

class VTBoard_Game : public VTCandyWidget, public GameLevelHooks {
public:
    // Fills the rasterizer's table, publishes gGameBoard, covers the application area. host: the
    // application that runs the board (null: none, as in tests of the level alone).
    explicit VTBoard_Game(VTBoardHost* host = nullptr);
    ~VTBoard_Game() override;
    VTBoard_Game(const VTBoard_Game&) = delete;
    VTBoard_Game& operator=(const VTBoard_Game&) = delete;

    // The widget update, then the level step.
    void Update() override;
    // The widget's move (handed on to the script board's queue), then the level's hover pass.
    void MouseMove(int32_t x, int32_t y) override;
    // A left press while the level is active clicks the hovered object. Nothing else: a press on the
    // board's own area is neither the widget base's nor the script's.
    void MouseDown(int32_t x, int32_t y, int button, int clickCount) override;
    // A drag on the board's own area is nobody's.
    void MouseDrag(int32_t /*x*/, int32_t /*y*/) override {}
    // The parent (the widget manager for a top-level board) gives this board the focus / drops it.
    void OnShow() override;
    void OnHide() override;

    // Reads level number from the level files (the level document named by "cfg\l%d.xml", or
    // "cfg\e%d.xml" for an e-level); false, the level left unloaded, when they cannot be read.
    virtual bool LoadLevel(int32_t number, bool eLevel) { return level_.LoadLevel(number, eLevel); }
    // Main thread, once the load has finished: the board back in the tree and shown, the loading
    // screen hidden, the level started.
    virtual void OnLevelLoaded();
    // Tears the level down (nothing without a level).
    virtual void UnloadLevel() { level_.UnloadLevel(); }
    // The engine's teardown: the unload with gScriptLoadBusy raised, then OnShutdown.
    void Shutdown();
    virtual void OnShutdown() {}

    // Level running, the application active and the board visible.
    bool IsLevelActive() const { return level_.IsLevelActive(); }
    // A level load has been started and not yet handed over.
    bool IsLevelLoadPending() const { return levelLoadPending_; }

    GameLevel& Level() { return level_; }
    // Shorthands of the level's own operations.
    void ResetLevelState() { level_.ResetLevelState(); }
    int32_t AddMoney(int32_t amount) { return level_.AddMoney(amount); }
    void AdvanceStage() { level_.AdvanceStage(); }
    void EndLevelStep() { level_.EndLevelStep(); }

protected:
    // ---- GameLevelHooks ----
    bool IsBoardActive() const override;
    // The level starts over: every live particle system is reset.
    void OnLevelReset() override;
    void PlayClickSound() override;

    VTBoardHost* const host_;
    std::atomic<bool> levelLoadPending_{false};

private:
    GameLevel level_;
};

// The game board of the process (null when none); published by the board's constructor.
extern VTBoard_Game* gGameBoard;
