// Default bodies of the level hooks.
#include "engine/boards/GameLevelHooks.h"

#include "engine/boards/EventQueue.h"

bool GameLevelHooks::FireEvent(TimePoint&)
{
    return false;
}

bool GameLevelHooks::IsLevelOver(const EventQueue& queue)
{
    return queue.IsAtEnd();
}

void GameLevelHooks::OnLevelDataLoaded(const Platform::XmlNode&, const Platform::XmlNode&) {}

void GameLevelHooks::OnObjectClicked(VTLevelObject*) {}
