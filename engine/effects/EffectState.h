// What the exported effect functions receive and how they are called: one pointer argument, a
// 32-bit result that callers ignore. A control-form function gets a VTEffectState (from a timer
// control), a message-form function gets the VTEffect itself (from a "call" message).
#pragma once
#include <cstdint>

class VTEffect;

using VTEffectFunction = int32_t (*)(void* argument);

// Point or range of a timer control; 0 never fires.
enum VTTimerControlType : int32_t {
    kTimerControlNone = 0,
    kTimerControlPoint = 1,
    kTimerControlRange = 2,
};

// The record a control-form function receives.
struct VTEffectState {
    int32_t type = kTimerControlNone; // the control's VTTimerControlType
    int32_t id = 0;                   // the control's id
    VTEffect* owner = nullptr;        // the effect whose timer called
    int32_t reserved = 0;
    // Range: progress through the range (0 at its start, at most 1); point: the time reached.
    float value = 0.0f;
};
