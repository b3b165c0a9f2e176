// The game board: the screen the game's levels play on. Engine widgets lying on it hand their mouse
// events to it; the engine gives them to the script once per frame, after the frame's updates.
// Until the boards are built its level handling is a placeholder: StartLevelLoad records the level
// and marks it pending (no level thread yet), and OnLevelLoaded brings the board back on screen.
#pragma once
#include "engine/boards/GameBoardMouseQueue.h"
#include "framework/widgets/Widget.h"

#include <atomic>
#include <mutex>
#include <string>

class VTBoard_Game3 : public Fw::Widget {
public:
    VTBoard_Game3();
    ~VTBoard_Game3() override;

    // Whether the widget is a game board.
    static bool IsGameBoard(const Fw::Widget* widget);
    // Queue the event with the widget manager's last mouse position (0,0 while the board is outside
    // the tree). Nothing when board is not a game board.
    static void ForwardMouseDown(Fw::Widget* board, int button, int clickCount);
    static void ForwardMouseUp(Fw::Widget* board, int button);
    static void ForwardMouseMove(Fw::Widget* board);

    VTGameBoardMouseQueue& MouseQueue() { return mouseQueue_; }

    // Starts loading level name: the board leaves the screen and its level is pending until
    // OnLevelLoaded. Placeholder: records the name (no level-load thread yet). Any thread.
    void StartLevelLoad(const std::string& name);
    // The level name of the last StartLevelLoad.
    std::string PendingLevelName() const;
    bool IsLevelPending() const { return levelPending_; }
    // Main thread, once loading has completed with a level pending: the board back into the tree
    // and shown, the loading screen hidden, the debug log's clock reset, the level active.
    void OnLevelLoaded();
    // A level has been loaded (the script's LevelUpdate runs each frame).
    bool IsLevelActive() const { return levelActive_; }
    // The engine's teardown: the script's LevelFree (when a level was loaded) with gScriptLoadBusy
    // raised around it, then the level is gone.
    void Shutdown();

private:
    VTGameBoardMouseQueue mouseQueue_;
    mutable std::mutex nameLock_;
    std::string levelName_;
    std::atomic<bool> levelPending_{false};
    std::atomic<bool> levelActive_{false};
};

// The current game board (null when none); published by the board's constructor.
extern VTBoard_Game3* gCurrentGameBoard;
