#include "engine/scripting/ScriptWidgetTree.h"

#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ScriptWidgetWalk.h"
#include "engine/widgets/CandyWidget.h"

#include <cstdint>

std::string ScriptWidgetKey(const VTCandyWidget* widget)
{
    return std::to_string(reinterpret_cast<uintptr_t>(widget));
}

void AddScriptChild(Fw::Widget* parent, VTCandyWidget* child)
{
    if (!parent || !child)
        return;
    // A widget under itself would make the tree a loop.
    for (Fw::WidgetContainer* node = parent; node; node = node->GetParent())
        if (node == child)
            return;
    for (VTCandyWidget* node = dynamic_cast<VTCandyWidget*>(parent); node; node = node->GetEngineParent())
        if (node == child)
            return;
    if (auto* candy = dynamic_cast<VTCandyWidget*>(parent)) {
        // Added again under the same parent: filed once.
        if (candy->FindChild(ScriptWidgetKey(child)) == child)
            return;
        candy->AddChild(ScriptWidgetKey(child), child);
    } else {
        parent->AddWidget(child);
    }
}

void RemoveScriptChild(Fw::Widget* parent, VTCandyWidget* child)
{
    if (!parent || !child)
        return;
    if (auto* candy = dynamic_cast<VTCandyWidget*>(parent)) {
        if (candy->FindChild(ScriptWidgetKey(child)) == child) {
            candy->RemoveChild(ScriptWidgetKey(child));
            return;
        }
    }
    if (child->GetParent() == parent)
        parent->RemoveWidget(child);
}

void DetachScriptWidget(VTCandyWidget* widget)
{
    if (!widget)
        return;
    if (VTCandyWidget* parent = widget->GetEngineParent())
        RemoveScriptChild(parent, widget);
    if (Fw::WidgetContainer* parent = widget->GetParent())
        parent->RemoveWidget(widget); // clears the manager's references to it and its subtree
}

void RunScriptTreeChange(std::function<void()> change)
{
    if (InScriptWidgetWalk()) {
        DeferScriptWidgetChange(std::move(change));
        return;
    }
    GilRelease release;
    change();
}
