// What takes the mouse input of the engine widgets lying on it: the game board. An engine widget
// hands its presses, releases and moves to the nearest widget above it in the tree that implements
// this (the board then queues them for the game script). Main thread.
#pragma once

class VTBoardMouseTarget {
public:
    virtual ~VTBoardMouseTarget() = default;
    virtual void TakeMouseDown(int button, int clickCount) = 0;
    virtual void TakeMouseUp(int button) = 0;
    virtual void TakeMouseMove() = 0;
};
