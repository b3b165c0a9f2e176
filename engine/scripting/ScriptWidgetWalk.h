// Changes that scripts make to the widget tree while the tree's update walk runs (an "update_fn"
// resetting its own widget or a sibling, adding or removing children) wait until the outermost
// script widget of this thread has finished its walk, so the walk never reaches a freed widget or a
// list changed under it. Per thread: the walk and the callbacks it runs are the main thread's.
#pragma once
#include <functional>

// Marks the running thread as inside a script widget's update (or key, or list callback).
class ScriptWidgetWalkScope {
public:
    ScriptWidgetWalkScope();
    // The outermost scope runs the changes deferred meanwhile, in the order they were asked for.
    ~ScriptWidgetWalkScope();
    ScriptWidgetWalkScope(const ScriptWidgetWalkScope&) = delete;
    ScriptWidgetWalkScope& operator=(const ScriptWidgetWalkScope&) = delete;
};

// Whether the running thread is inside a scope.
bool InScriptWidgetWalk();
// Queues change for the end of the outermost scope. Only inside a scope.
void DeferScriptWidgetChange(std::function<void()> change);
