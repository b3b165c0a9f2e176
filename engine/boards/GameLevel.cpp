// The hosted level: files, money, stages and the per-frame step.
#include "engine/boards/GameLevel.h"

#include "engine/core/FrameSeconds.h"
#include "engine/boards/LevelObjects.h"
#include "engine/core/DebugLog.h"
#include "engine/core/Localization.h"
#include "engine/core/XmlAccess.h"
#include "engine/core/XmlAttributes.h"

#include <algorithm>
#include <cstdio>
#include <limits>

namespace {

// The level ends this much level time after it is first seen to be over.
constexpr float kLevelOverDelaySeconds = 2.0f;
// The "doc" path is read through a 260-byte buffer (259 characters); object names through 128 bytes.
constexpr size_t kDocPathBuffer = 260;
constexpr size_t kNameBuffer = 128;

std::string LevelFileName(int32_t number, bool eLevel)
{
    char name[32];
    std::snprintf(name, sizeof name, eLevel ? "cfg\\e%d.xml" : "cfg\\l%d.xml", static_cast<int>(number));
    return name;
}

} // namespace

GameLevel::GameLevel(GameLevelHooks& hooks, VTLocalization* keys)
    : hooks_(hooks), keys_(keys), nextStage_(stageObjects_.end())
{
    for (std::string_view name : gWaypointGraphSetNames)
        graphSets_.emplace(std::string(name), std::make_unique<WaypointGraphSet>(std::string(name)));
}

GameLevel::~GameLevel() = default;

bool GameLevel::LoadLevel(int32_t number, bool eLevel)
{
    UnloadLevel();
    if (number <= 0)
        return false;
    levelNumber_ = number;
    eLevel_ = eLevel;
    if (ReadLevelFiles(number, eLevel))
        return true;
    DiscardLevelData();
    levelNumber_ = 0;
    return false;
}

bool GameLevel::ReadLevelFiles(int32_t number, bool eLevel)
{
    const std::string fileName = LevelFileName(number, eLevel);
    const std::optional<Platform::XmlDocument> document = OpenXmlFile(fileName);
    const Platform::XmlNode level = document ? document->SelectSingleNode("level") : Platform::XmlNode();
    if (!level) {
        DebugLog("Level file %s cannot be read or has no \"level\" element\n", fileName.c_str());
        return false;
    }
    std::string docPath;
    if (!XmlGetAttributeString(level, "doc", docPath, kDocPathBuffer)) {
        DebugLog("Level file %s names no \"doc\"\n", fileName.c_str());
        return false;
    }
    const std::optional<Platform::XmlDocument> second = OpenXmlFile(docPath);
    const Platform::XmlNode root = second ? second->SelectSingleNode("root") : Platform::XmlNode();
    if (!root) {
        DebugLog("Level document %s of %s cannot be read or has no \"root\" element\n", docPath.c_str(),
                 fileName.c_str());
        return false;
    }

    LevelObjects::LoadAll(root);
    LevelObjects::BindAll(root);
    if (eLevel)
        LoadStages(level);
    for (const auto& [name, set] : graphSets_) {
        set->LoadBase(root);
        set->BindAnchors(name);
        set->LoadLevel(level);
    }
    queue_.SetMode(eLevel ? EventQueue::kStaged : EventQueue::kFixed);
    if (!queue_.Load(level)) {
        DebugLog("Level file %s has a malformed \"events_queue\"\n", fileName.c_str());
        return false;
    }
    hooks_.OnLevelDataLoaded(root, level);
    return true;
}

void GameLevel::LoadStages(const Platform::XmlNode& level)
{
    XmlForEachNode(level, "stages/stage", [this](const Platform::XmlNode& element) {
        StageObjects& record = stageObjects_.emplace_back();
        XmlGetAttributeInt(element, "num", record.stage);
        XmlForEachNode(element, "object", [&record](const Platform::XmlNode& object) {
            std::string name;
            XmlGetAttributeString(object, "name", name, kNameBuffer);
            if (VTLevelObject* found = LevelObjects::FindByName(name))
                record.objects.push_back(found);
            return true;
        });
        return true;
    });
    nextStage_ = stageObjects_.begin();
}

void GameLevel::DiscardLevelData()
{
    stageObjects_.clear();
    nextStage_ = stageObjects_.end();
    for (const auto& [name, set] : graphSets_) {
        set->ClearBase();
        set->ClearLevel();
        set->ClearAnchors();
    }
    // The objects are about to be deleted: nothing may keep pointing at them.
    hovered_ = nullptr;
    clicked_.clear();
    LevelObjects::UnloadAll();
    LevelObjects::DeleteAll();
    queue_.Clear();
}

void GameLevel::UnloadLevel()
{
    if (levelNumber_ <= 0)
        return;
    levelNumber_ = 0;
    if (running_) {
        running_ = false;
        hovered_ = nullptr;
        LevelObjects::DeactivateAll();
        hooks_.OnLevelStop();
    }
    DiscardLevelData();
    hooks_.OnLevelUnloaded();
}

void GameLevel::ResetLevelState()
{
    gFrameSeconds = 0.0f;
    levelOverArmed_ = false;
    stageNumber_ = 1;
    nextStage_ = stageObjects_.begin();
    LevelTimer::ResetAll();
    LevelObjects::ActivateAll();
    clicked_.clear();
    queue_.Rewind();
    hooks_.OnLevelReset();
    money_ = 0;
    AddMoney(0);
    hooks_.OnLevelStart();
    running_ = true;
}

bool GameLevel::IsLevelActive() const
{
    return running_ && hooks_.IsBoardActive();
}

void GameLevel::Step(int32_t frameMilliseconds)
{
    if (!IsLevelActive()) {
        gFrameSeconds = 0.0f;
        return;
    }
    gFrameSeconds = static_cast<float>(frameMilliseconds / 1000.0);
    queue_.AdvanceClock();
    LevelClock::Advance();
    TickEvents();
    LevelObjects::UpdateAll();
    hooks_.OnUpdate();
    // Objects clicked by these calls are handed out in the same pass.
    while (!clicked_.empty()) {
        VTLevelObject* object = clicked_.front();
        hooks_.OnObjectClicked(object);
        clicked_.pop_front();
    }
    if (levelOverArmed_) {
        if (!levelOverTimer_.IsRunning())
            EndLevelStep();
    } else if (hooks_.IsLevelOver(queue_)) {
        levelOverArmed_ = true;
        levelOverTimer_.Start(kLevelOverDelaySeconds);
    }
}

void GameLevel::TickEvents()
{
    if (queue_.IsAtEnd())
        return;
    if (TimePoint* point = queue_.GetDuePoint()) {
        if (hooks_.FireEvent(*point))
            queue_.Advance();
    }
}

int32_t GameLevel::AddMoney(int32_t amount)
{
    if (eLevel_ && amount < 0)
        amount = 0;
    const int64_t sum = int64_t(money_) + amount;
    money_ = static_cast<int32_t>(std::clamp<int64_t>(sum, 0, std::numeric_limits<int32_t>::max()));
    if (eLevel_ && money_ >= queue_.GetNextTarget())
        AdvanceStage();
    hooks_.OnMoneyChanged();
    if (keys_)
        keys_->SetInt("money", money_);
    return money_;
}

void GameLevel::AdvanceStage()
{
    if (stageNumber_ < std::numeric_limits<int32_t>::max())
        ++stageNumber_;
    if (nextStage_ != stageObjects_.end() && nextStage_->stage == stageNumber_) {
        for (VTLevelObject* object : nextStage_->objects) {
            object->active = true;
            object->SetActive(true);
            object->FireEvent("on_add");
        }
        ++nextStage_;
    }
    queue_.StepTarget();
    if (keys_)
        keys_->SetInt("normal", queue_.GetNextTarget());
    hooks_.OnStageChanged();
}

void GameLevel::EndLevelStep()
{
    if (running_) {
        running_ = false;
        hovered_ = nullptr;
        LevelObjects::DeactivateAll();
        hooks_.OnLevelStop();
    }
    hooks_.OnLevelEnd();
}

void GameLevel::TrackHover(int32_t x, int32_t y)
{
    if (!IsLevelActive())
        return;
    VTLevelObject* claimed = nullptr;
    for (const auto& [name, object] : gInteractiveObjects) {
        if (!object)
            continue;
        const bool inside = object->HitTest(x, y);
        if (object->mouseEnabled)
            object->OnMouseOver(x, y, inside);
        if (!claimed && object->TakeHover(inside))
            claimed = object;
    }
    hovered_ = claimed;
}

void GameLevel::ClickHovered(int32_t x, int32_t y)
{
    if (IsLevelActive() && hovered_ && hovered_->mouseEnabled && hovered_->active && hovered_->HitTest(x, y))
        ClickObject(hovered_);
}

void GameLevel::ClickObject(VTLevelObject* object)
{
    if (!object)
        return;
    object->OnClick();
    hooks_.PlayClickSound();
    clicked_.push_back(object);
}
