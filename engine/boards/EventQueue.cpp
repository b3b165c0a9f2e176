// The level's event queue.
#include "engine/boards/EventQueue.h"

#include "engine/core/FrameSeconds.h"
#include "engine/core/RandomFloat.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

#include <algorithm>
#include <limits>

std::list<std::unique_ptr<TimePoint>> gSpareTimePoints;

namespace {

constexpr size_t kTextBuffer = 128;

int32_t SaturateToInt32(int64_t value)
{
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

} // namespace

EventQueue::EventQueue() : current_(points_.end()), currentStage_(stages_.end()), random_(&RandomFloat) {}

EventQueue::~EventQueue()
{
    Clear();
}

void EventQueue::SetRandomSource(RandomSource random)
{
    random_ = random ? std::move(random) : RandomSource(&RandomFloat);
}

bool EventQueue::Load(const Platform::XmlNode& level)
{
    if (mode_ == kFixed) {
        LoadFixed(level);
        return true;
    }
    if (mode_ == kStaged) {
        if (LoadStaged(level))
            return true;
        Clear();
        return false;
    }
    return true;
}

void EventQueue::LoadFixed(const Platform::XmlNode& level)
{
    const Platform::XmlNode section = level.SelectSingleNode("events_queue");
    if (!section)
        return;
    XmlForEachNode(section, "time_point", [this](const Platform::XmlNode& element) {
        auto point = std::make_unique<TimePoint>();
        XmlGetAttributeFloat(element, "time", point->time);
        XmlGetAttributeString(element, "type", point->type, kTextBuffer);
        XmlGetAttributeString(element, "event", point->event, kTextBuffer);
        XmlForEachNode(element, "param", [&point](const Platform::XmlNode& param) {
            std::string name;
            if (XmlGetAttributeString(param, "name", name, kTextBuffer))
                point->params.push_back(std::move(name));
            return true;
        });
        points_.push_back(std::move(point));
        return true;
    });
    // Appending never moves current_ off the end: the board rewinds the queue when the level starts.
}

bool EventQueue::LoadStaged(const Platform::XmlNode& level)
{
    const Platform::XmlNode section = level.SelectSingleNode("events_queue");
    if (!section)
        return false;
    bool ok = true;
    XmlForEachNode(section, "templates/order_template", [&](const Platform::XmlNode& element) {
        auto entry = std::make_unique<OrderTemplate>();
        ok = entry->Load(element) && ok;
        const std::string name = entry->name;
        orderTemplates_.emplace(name, std::move(entry)); // an earlier template of the name stays
        return true;
    });
    XmlForEachNode(section, "stages/stage", [&](const Platform::XmlNode& element) {
        EventStage stage;
        ok = stage.Load(element, orderTemplates_) && ok;
        stages_.push_back(std::move(stage));
        return true;
    });
    if (!ok || stages_.empty())
        return false;
    currentStage_ = stages_.begin();
    Advance();
    previousTarget_ = 0;
    nextTarget_ = stages_.front().points;
    return true;
}

bool EventQueue::IsAtEnd() const
{
    return current_ == points_.end();
}

TimePoint* EventQueue::GetDuePoint()
{
    if (current_ == points_.end() || (*current_)->time > clock_)
        return nullptr;
    return current_->get();
}

void EventQueue::Advance()
{
    if (mode_ == kFixed) {
        if (current_ != points_.end())
            ++current_;
        return;
    }
    if (mode_ != kStaged || currentStage_ == stages_.end())
        return;
    // The fired point has been handed to the board; it goes back to the spare list for reuse.
    if (!points_.empty()) {
        gSpareTimePoints.push_back(std::move(points_.front()));
        points_.pop_front();
    }
    std::unique_ptr<TimePoint> point = TakeSparePoint();
    if (!point)
        point = std::make_unique<TimePoint>();
    currentStage_->PickTemplate(*point, random_);
    point->time += clock_;
    points_.push_back(std::move(point));
    current_ = points_.begin();
}

void EventQueue::AdvanceClock()
{
    clock_ += gFrameSeconds;
}

void EventQueue::StepTarget()
{
    if (currentStage_ == stages_.end())
        return;
    const auto next = std::next(currentStage_);
    if (next == stages_.end()) {
        const int64_t gap = int64_t(nextTarget_) - previousTarget_;
        previousTarget_ = nextTarget_;
        nextTarget_ = SaturateToInt32(int64_t(nextTarget_) + gap);
    } else {
        currentStage_ = next;
        previousTarget_ = nextTarget_;
        nextTarget_ = currentStage_->points;
    }
}

void EventQueue::Rewind()
{
    gSpareTimePoints.clear();
    clock_ = 0.0f;
    current_ = points_.begin();
    currentStage_ = stages_.begin();
}

void EventQueue::Clear()
{
    // Templates are pointed at by the stages: the stages go before the map they refer to.
    stages_.clear();
    currentStage_ = stages_.end();
    orderTemplates_.clear();
    points_.clear();
    current_ = points_.end();
    gSpareTimePoints.clear();
    Rewind();
}

std::unique_ptr<TimePoint> EventQueue::TakeSparePoint()
{
    if (gSpareTimePoints.empty())
        return nullptr;
    std::unique_ptr<TimePoint> point = std::move(gSpareTimePoints.front());
    gSpareTimePoints.pop_front();
    return point;
}
