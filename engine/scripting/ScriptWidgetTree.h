// How script widgets enter and leave the widget tree: the key a child is filed under (its address,
// full width), adding to and removing from an engine widget or the game board, and detaching a
// widget from everything that refers to it before it is deleted. Main thread, or a script thread
// working on widgets outside the drawn tree; without the interpreter lock.
#pragma once
#include <functional>
#include <string>

class VTCandyWidget;
namespace Fw {
class Widget;
}

// The name a script widget is filed under in its parent: its address in decimal, full width.
std::string ScriptWidgetKey(const VTCandyWidget* widget);
// child under parent (an engine widget: AddChild with the key; any other widget: AddWidget).
// Nothing when child is parent or one of parent's ancestors.
void AddScriptChild(Fw::Widget* parent, VTCandyWidget* child);
// Takes child out of parent (not deleted). Nothing when it is not parent's child.
void RemoveScriptChild(Fw::Widget* parent, VTCandyWidget* child);
// Out of its parents' child lists, name maps and effect records, and out of the widget manager's
// hover, capture and focus; the caller then deletes it.
void DetachScriptWidget(VTCandyWidget* widget);

// Runs change at once without the interpreter lock (the calling thread holds it: a script called),
// or, inside a script widget's update walk, once the walk is over.
void RunScriptTreeChange(std::function<void()> change);
