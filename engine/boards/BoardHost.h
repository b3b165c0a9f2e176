// What the boards ask of the application that runs them: the application itself (its widget tree
// and loading screen), the key table texts read from, the sound and cursor managers, the particle
// registry a level reset clears, and the main thread's task queue. The engine's application object
// implements it and hands itself to the boards it makes; a board made without one (tests) does
// without these.
#pragma once
#include <functional>

class VTCursorManager;
class VTLocalization;
class VTParticleSystemRegistry;
class VTSoundManager;
namespace Fw {
class AppBase;
}

class VTBoardHost {
public:
    virtual ~VTBoardHost() = default;

    virtual Fw::AppBase& GetHostApp() = 0;
    // The values scripts and boards set at run time, substituted into text widgets' labels.
    virtual VTLocalization& GetKeyTable() = 0;
    virtual VTSoundManager& GetSoundManager() = 0;
    virtual VTCursorManager& GetCursorManager() = 0;
    // Null while there is none.
    virtual VTParticleSystemRegistry* GetParticleRegistry() = 0;
    virtual bool IsMainThread() const = 0;
    // Runs fn now on the main thread, else at the beginning of the main thread's next step.
    virtual void OnMainThread(std::function<void()> fn) = 0;
};
