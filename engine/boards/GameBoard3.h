// The script-driven game board, the one the game uses: the level belongs to the game script. The
// script's LevelFree and LoadLevel run on a level-load thread behind the loading board, its
// LevelUpdate once per frame (the engine's frame hook), and the mouse input on the board and the
// engine widgets lying on it is queued here for the script's MouseDown, MouseUp and MouseMove,
// delivered by the frame hook after the frame's updates. The board's own level hooks are empty; no
// event of its queue ever fires and its level is never over.
// Threads: everything on the main thread but RunScriptLevelLoad (the level-load thread) and
// StartLevelLoad, which other threads may call: their request is started by the main thread at
// its next application step. Locks: the script host's load lock, then the script lock (taken by
// each script call), then the interpreter lock.
#pragma once
#include "engine/boards/GameBoard.h"
#include "engine/boards/GameBoardMouseQueue.h"
#include "engine/widgets/BoardMouseTarget.h"

#include <mutex>
#include <optional>
#include <string>

class VTPythonObject;

class VTBoard_Game3 : public VTBoard_Game, public VTBoardMouseTarget {
public:
    // Publishes gCurrentGameBoard (and gGameBoard). host as for VTBoard_Game.
    explicit VTBoard_Game3(VTBoardHost* host = nullptr);
    ~VTBoard_Game3() override;

    // ---- VTBoardMouseTarget: what the engine widgets on the board hand on: one record with the
    // widget manager's last mouse position (0, 0 while the board is outside the tree) ----
    void TakeMouseDown(int button, int clickCount) override;
    void TakeMouseUp(int button) override;
    void TakeMouseMove() override;

    virtual void QueueMouseDown(int32_t x, int32_t y, int32_t button, int32_t clickCount);
    virtual void QueueMouseUp(int32_t x, int32_t y, int32_t button);
    virtual void QueueMouseMove(int32_t x, int32_t y);
    VTGameBoardMouseQueue& MouseQueue() { return mouseQueue_; }

    // Starts loading the script's level name: the board leaves the tree (hidden), the loading board
    // shows, the application's loading flag is raised and its loading-thread-finished flag cleared,
    // and the level-load thread runs the script's LevelFree and LoadLevel. Called from another
    // thread, or while a load is still pending, the request waits for the main thread's next
    // application step after the hand-over (a later request replaces a waiting one).
    void StartLevelLoad(const std::string& name);
    // Main thread (the engine's application step, after any hand-over): starts the waiting request
    // unless a load is pending.
    void StartWaitingLevelLoad();
    bool HasWaitingLevelLoad() const;
    // The name given to the last load started.
    const std::string& LevelName() const { return levelName_; }
    // The name of the latest request: the waiting one, else the last load started. Main thread.
    std::string PendingLevelName() const;
    // The level-load thread's work: under the load lock and with gScriptLoadBusy raised, the
    // script's LevelFree then LoadLevel(name); nothing without a game module.
    void RunScriptLevelLoad(const std::string& name);

    // ---- the board ----
    // The hand-over: loading flag cleared, priority back to normal, the board in the tree, the
    // debug log's clock restarted, the loading board hidden, the board shown, the level started.
    // The loading-thread-finished flag stays as the load set it.
    void OnLevelLoaded() override;
    // The script's LevelFree (when the game module is loaded).
    void UnloadLevel() override;
    bool IsLevelOver(const EventQueue& /*queue*/) override { return false; }
    bool FireEvent(TimePoint& /*point*/) override { return false; }
    // The board's update under the load lock.
    void Update() override;
    // Timed drawing, then the debug frame graphs.
    void DrawAll(Fw::ModalFlags* mf, Fw::Graphics* g) override;
    // Debug mode only: the script's KeyUp; F8 (re)loads the module "reloadable", F6 calls its OnF6.
    void KeyUp(int keyCode) override;

private:
    void BeginLevelLoad(const std::string& name);

    VTGameBoardMouseQueue mouseQueue_;
    std::string levelName_;
    mutable std::mutex waitingLock_; // leaf lock: nothing is called while it is held
    std::optional<std::string> waitingLevel_;
    VTPythonObject* reloadable_ = nullptr; // debug mode: the module "reloadable"
};

// The script-driven game board (null when none); the same object as gGameBoard.
extern VTBoard_Game3* gCurrentGameBoard;
