// The level a game board hosts, without the board's widget side: reading the level files
// ("cfg\l%d.xml", "cfg\e%d.xml" and the document each names), money and stages, the per-frame level
// step that drives the event queue, level clock and level objects, hover and click, and the
// unload. The board owns one, forwards its update, mouse and hooks to it, and publishes "money" and
// "normal" through the key table given here. Main thread (the load on the board's load thread).
#pragma once
#include "engine/boards/EventQueue.h"
#include "engine/boards/GameLevelHooks.h"
#include "engine/boards/LevelClock.h"
#include "engine/boards/WaypointGraphSet.h"

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <string>

class VTLevelObject;
class VTLocalization;

// The level objects that become active when stage number stage begins.
struct StageObjects {
    int32_t stage = 0;
    std::list<VTLevelObject*> objects;
};

class GameLevel {
public:
    // hooks must outlive the level; keys (the engine's key table) may be null.
    GameLevel(GameLevelHooks& hooks, VTLocalization* keys);
    ~GameLevel();
    GameLevel(const GameLevel&) = delete;
    GameLevel& operator=(const GameLevel&) = delete;

    // Unloads, then reads level number (> 0) from "cfg\e%d.xml" when eLevel, else "cfg\l%d.xml":
    // objects, e-level stage records, graph sets and event queue, then OnLevelDataLoaded. False,
    // with the level left unloaded and the file named in the debug log, when a file or its "level",
    // "doc" or "root" is missing or an e-level's event queue is malformed.
    bool LoadLevel(int32_t number, bool eLevel);
    // Tears the level down; nothing while no level is loaded.
    void UnloadLevel();
    // The start of a level: clocks, timers, objects, queue and money back to their start, then
    // OnLevelStart, and the level runs.
    void ResetLevelState();
    // Running, and the board active.
    bool IsLevelActive() const;
    // One board update: with the level active, gFrameSeconds = frameMilliseconds / 1000, the clocks
    // advance, one due point fires, objects update, clicks are handed out and the level-over delay
    // runs; otherwise gFrameSeconds = 0 and nothing moves.
    void Step(int32_t frameMilliseconds);
    // Fires the due time point, if any; the queue advances only when the firing answers true.
    void TickEvents();
    // Adds to the money (never below 0; saturating; in e-levels never lowered) and, for an e-level
    // that reached its next target, advances one stage. Publishes "money". Returns the money.
    int32_t AddMoney(int32_t amount);
    // The next stage: its objects become active and get "on_add", the queue steps its target and
    // "normal" is published.
    void AdvanceStage();
    // Stops a running level (objects deactivated, OnLevelStop); OnLevelEnd in every case.
    void EndLevelStep();
    // The hover pass over gInteractiveObjects; the object that claims the hover becomes hovered.
    void TrackHover(int32_t x, int32_t y);
    // A left press: clicks the hovered object when it is active, mouse-enabled and under the point.
    void ClickHovered(int32_t x, int32_t y);
    // OnClick, the click sound, and the object is handed to OnObjectClicked on the next update.
    void ClickObject(VTLevelObject* object);

    int32_t LevelNumber() const { return levelNumber_; }
    bool IsELevel() const { return eLevel_; }
    bool IsRunning() const { return running_; }
    bool IsLevelOverArmed() const { return levelOverArmed_; }
    int32_t StageNumber() const { return stageNumber_; }
    int32_t Money() const { return money_; }
    VTLevelObject* Hovered() const { return hovered_; }
    const std::list<StageObjects>& StageRecords() const { return stageObjects_; }
    EventQueue& Queue() { return queue_; }
    const std::map<std::string, std::unique_ptr<WaypointGraphSet>>& GraphSets() const { return graphSets_; }

private:
    bool ReadLevelFiles(int32_t number, bool eLevel);
    void LoadStages(const Platform::XmlNode& level);
    // Everything read from the level files goes; no hook is called.
    void DiscardLevelData();

    GameLevelHooks& hooks_;
    VTLocalization* keys_;
    bool running_ = false;
    int32_t levelNumber_ = 0;
    bool levelOverArmed_ = false;
    LevelTimer levelOverTimer_;
    std::list<StageObjects> stageObjects_;
    bool eLevel_ = false;
    int32_t stageNumber_ = 0;
    std::list<StageObjects>::iterator nextStage_;
    VTLevelObject* hovered_ = nullptr;
    std::list<VTLevelObject*> clicked_;
    int32_t money_ = 0;
    EventQueue queue_;
    std::map<std::string, std::unique_ptr<WaypointGraphSet>> graphSets_;
};
