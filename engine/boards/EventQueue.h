// The timetable of a running level: time points that become due when the queue's clock reaches
// their time. Mode 1 (l-levels) plays the "time_point" elements of "events_queue" in file order and
// ends after the last; mode 2 (e-levels) always holds one point, drawn at random from the templates
// of the current stage, and carries the money targets that move the level from stage to stage.
// Used from the thread that runs the game board; no lock.
#pragma once
#include "engine/boards/EventTemplates.h"
#include "engine/boards/TimePoint.h"
#include "platform/XmlDocument.h"

#include <cstdint>
#include <list>
#include <memory>

// Points that mode 2 reuses before it makes new ones: a fired point is put here by the advance.
// The rewind and the clear delete what it holds.
extern std::list<std::unique_ptr<TimePoint>> gSpareTimePoints;

class EventQueue {
public:
    static constexpr int32_t kFixed = 1;
    static constexpr int32_t kStaged = 2;

    EventQueue();
    ~EventQueue();
    EventQueue(const EventQueue&) = delete;
    EventQueue& operator=(const EventQueue&) = delete;

    // 1 fixed, 2 staged; any other value makes Load and Advance do nothing.
    void SetMode(int32_t mode) { mode_ = mode; }
    int32_t Mode() const { return mode_; }
    // The draws of mode 2; RandomFloat unless replaced.
    void SetRandomSource(RandomSource random);

    // Reads "events_queue" below the level node for the mode. Mode 1 never fails (no section leaves
    // the queue empty). Mode 2 fails, leaving the queue cleared, when the section, its stages, an
    // order template's "stand", a named order template or a required attribute is missing.
    bool Load(const Platform::XmlNode& level);

    bool IsAtEnd() const;
    // The current point when its time is at or below the clock, else null.
    TimePoint* GetDuePoint();
    // Moves past the point just fired: mode 1 to the next point; mode 2 recycles the fired point and
    // draws the next one, due at clock + its delay.
    void Advance();
    // clock += gFrameSeconds.
    void AdvanceClock();
    float Clock() const { return clock_; }

    int32_t GetNextTarget() const { return nextTarget_; }
    int32_t GetPreviousTarget() const { return previousTarget_; }
    // Moves the targets to the next stage; past the last stage the last gap repeats (saturating).
    void StepTarget();

    // Clock 0, back to the first point and the first stage; spare points deleted. Targets kept.
    void Rewind();
    // Deletes everything read from the level, then rewinds.
    void Clear();

    // Removes and returns the first spare point; null when there is none.
    static std::unique_ptr<TimePoint> TakeSparePoint();

    const std::list<std::unique_ptr<TimePoint>>& Points() const { return points_; }
    const std::list<EventStage>& Stages() const { return stages_; }
    const OrderTemplateMap& OrderTemplates() const { return orderTemplates_; }

private:
    void LoadFixed(const Platform::XmlNode& level);
    bool LoadStaged(const Platform::XmlNode& level);

    int32_t mode_ = 0;
    std::list<std::unique_ptr<TimePoint>> points_;
    std::list<std::unique_ptr<TimePoint>>::iterator current_;
    float clock_ = 0.0f;
    std::list<EventStage> stages_;
    std::list<EventStage>::iterator currentStage_;
    int32_t previousTarget_ = 0;
    int32_t nextTarget_ = 0;
    OrderTemplateMap orderTemplates_;
    RandomSource random_;
};
