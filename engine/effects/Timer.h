// The clock of one animation inside an effect: a local time that runs from 0 to the timer's length
// (or back) once, in a cycle or back and forth, carrying controls (points or ranges in time bound to
// exported effect functions). Every move of the time calls the functions of the controls it touched.
// Owned by its VTEffect; main thread only.
#pragma once
#include "engine/effects/EffectState.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <map>
#include <vector>

class VTEffect;

enum VTTimerType : int32_t {
    kTimerTypeNone = 0,
    kTimerTypeUsual = 1,           // stops at its end: finished
    kTimerTypeSelfDestructive = 2, // as usual
    kTimerTypeCycle = 3,           // wraps to the other end
    kTimerTypePingPong = 4,        // turns at either end
};

enum VTTimerDirection : int32_t {
    kTimerDirectionNone = 0, // never moves (unless ping-pong)
    kTimerDirectionForward = 1,
    kTimerDirectionBackward = 2,
};

struct VTTimerControl {
    int32_t type = kTimerControlNone; // VTTimerControlType
    int32_t id = 0;
    float start = 0.0f; // seconds; the point's time
    float end = 0.0f;   // seconds; ranges only
    VTEffectFunction function = nullptr; // null when the name did not resolve to a control function
    VTEffect* owner = nullptr;
    int32_t reserved = 0;
    bool active = false;  // a control fires only when its definition says so
    bool entered = false; // ranges: the timer is inside the range
};

struct VTTimerCall {
    VTEffectFunction function = nullptr;
    VTEffectState state;
};

class VTTimer {
public:
    explicit VTTimer(VTEffect* owner);
    virtual ~VTTimer();
    VTTimer(const VTTimer&) = delete;
    VTTimer& operator=(const VTTimer&) = delete;

    // Reads a "timer" element: "type", "ftime", "direction" and its "control" children. A null
    // element changes nothing.
    void ReadDefinition(const Platform::XmlNode& element);
    // Appends a copy of control, not yet entered.
    void AddControl(const VTTimerControl& control);

    // Time to its starting end (the length when backward, else 0), not finished, start stamp now.
    // Leaves the running flag, the ping-pong phase and the ranges' entered flags alone.
    void Restart();
    void SetRunning(bool running) { running_ = running; }
    bool IsRunning() const { return running_; }
    bool IsFinished() const { return finished_; }

    // Moves a running timer on by seconds, in steps no longer than the length; a one-shot timer
    // stops stepping once it reaches its end.
    void Advance(double seconds);
    // One move by seconds, with the end handling of the timer's type.
    void Step(double seconds);
    // Calls the functions of the active controls that the move from one time to the other touches,
    // in the order of their keys (start stamp + to); virtual so tests can watch the moves.
    virtual void Dispatch(double from, double to);

    double Time() const { return time_; }
    float Length() const { return length_; }
    int32_t Type() const { return type_; }
    int32_t Direction() const { return direction_; }
    bool Phase() const { return phase_; }
    VTEffect* Owner() const { return owner_; }
    const std::vector<VTTimerControl>& Controls() const { return controls_; }

    // Test set-up: place the timer without moving it.
    void SetTime(double time) { time_ = time; }
    void SetPhase(bool forward) { phase_ = forward; }
    void SetLength(float length) { length_ = length; }
    void SetType(int32_t type) { type_ = type; }
    void SetDirection(int32_t direction) { direction_ = direction; }

private:
    void QueueCall(double key, const VTTimerCall& call);
    VTTimerCall MakeCall(const VTTimerControl& control, float value) const;
    bool Endless() const { return length_ < 0.0f; }

    VTEffect* owner_;
    double startStamp_ = 0.0; // ms: the clock at the last Restart
    double time_ = 0.0;       // s
    bool phase_ = true;       // ping-pong: moving forward
    bool finished_ = false;
    std::multimap<double, VTTimerCall> callQueue_; // empty between dispatches
    std::vector<VTTimerControl> controls_;
    float length_ = 0.0f; // s; negative: no end
    int32_t direction_ = kTimerDirectionNone;
    int32_t type_ = kTimerTypeNone;
    bool running_ = false;
};
