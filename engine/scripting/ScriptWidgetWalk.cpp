#include "engine/scripting/ScriptWidgetWalk.h"

#include <utility>
#include <vector>

namespace {

thread_local int tDepth = 0;
thread_local std::vector<std::function<void()>> tPending;

} // namespace

ScriptWidgetWalkScope::ScriptWidgetWalkScope() { ++tDepth; }

ScriptWidgetWalkScope::~ScriptWidgetWalkScope()
{
    if (tDepth > 1) {
        --tDepth;
        return;
    }
    // Still counted as inside while the queue drains: a change that asks for another one queues it
    // behind, never runs it in the middle of the one that asked.
    for (size_t i = 0; i < tPending.size(); ++i) {
        std::function<void()> change = std::move(tPending[i]);
        change();
    }
    tPending.clear();
    tDepth = 0;
}

bool InScriptWidgetWalk() { return tDepth > 0; }

void DeferScriptWidgetChange(std::function<void()> change) { tPending.push_back(std::move(change)); }
