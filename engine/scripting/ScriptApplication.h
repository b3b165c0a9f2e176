// What the script layer reaches of the running application: its window title and its close request.
// The engine's application object implements it; tests use a recording fake.
#pragma once
#include <string>

class ScriptApplication {
public:
    virtual ~ScriptApplication() = default;
    virtual void SetWindowTitle(const std::string& title) = 0;
    // The application's close request (the engine routes it to the script's Shutdown).
    virtual void RequestShutdown() = 0;
};
