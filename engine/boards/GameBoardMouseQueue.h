// The mouse events a game board collects for the script during a frame: presses, releases and moves,
// each in its own queue, drained in that order after the frame's updates. Engine widgets feed it
// through the board they lie on; any thread may push while the main thread drains.
#pragma once
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>

struct VTMouseDownRecord {
    int32_t x = 0;
    int32_t y = 0;
    int32_t button = 0;
    int32_t clickCount = 0;
};

struct VTMouseUpRecord {
    int32_t x = 0;
    int32_t y = 0;
    int32_t button = 0;
};

struct VTMouseMoveRecord {
    int32_t x = 0;
    int32_t y = 0;
};

class VTGameBoardMouseQueue {
public:
    void PushDown(const VTMouseDownRecord& r);
    void PushUp(const VTMouseUpRecord& r);
    void PushMove(const VTMouseMoveRecord& r);

    // Take the oldest record of one queue; records pushed while a drain runs are taken by it too.
    std::optional<VTMouseDownRecord> PopDown();
    std::optional<VTMouseUpRecord> PopUp();
    std::optional<VTMouseMoveRecord> PopMove();

    void Clear();

private:
    std::mutex lock_;
    std::deque<VTMouseDownRecord> downs_;
    std::deque<VTMouseUpRecord> ups_;
    std::deque<VTMouseMoveRecord> moves_;
};
