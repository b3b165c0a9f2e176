// The game board: the screen the game's levels play on. Engine widgets lying on it hand their mouse
// events to it; the engine gives them to the script once per frame, after the frame's updates.
#pragma once
#include "engine/boards/GameBoardMouseQueue.h"
#include "framework/widgets/Widget.h"

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

private:
    VTGameBoardMouseQueue mouseQueue_;
};

// The current game board (null when none); published by the board's constructor.
extern VTBoard_Game3* gCurrentGameBoard;
