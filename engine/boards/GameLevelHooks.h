// What the level logic asks of the board that hosts it: notifications at the level's turning
// points, the firing of due time points and whether the level is over. Every default does nothing;
// the script-driven board keeps them (it never fires an event and its level is never over).
#pragma once
#include "platform/XmlDocument.h"

class EventQueue;
class VTLevelObject;
struct TimePoint;

class GameLevelHooks {
public:
    virtual ~GameLevelHooks() = default;

    // Whether the application is active and the board visible: the level only advances then.
    virtual bool IsBoardActive() const { return true; }
    // Fires a due time point; true lets the queue move past it, false offers it again next update.
    virtual bool FireEvent(TimePoint& point);
    // Asked every active update until it answers true; then the level ends 2 s of level time later.
    virtual bool IsLevelOver(const EventQueue& queue);

    virtual void OnLevelStart() {}
    virtual void OnLevelEnd() {}
    virtual void OnLevelStop() {}
    virtual void OnLevelDataLoaded(const Platform::XmlNode& root, const Platform::XmlNode& level);
    // Last step of an unload.
    virtual void OnLevelUnloaded() {}
    virtual void OnObjectClicked(VTLevelObject* object);
    virtual void OnUpdate() {}
    virtual void OnMoneyChanged() {}
    virtual void OnStageChanged() {}
    // During the level start, after the event queue's rewind: the board resets its particle systems.
    virtual void OnLevelReset() {}
    // A level object was clicked: the board plays its "click" sound.
    virtual void PlayClickSound() {}
};
