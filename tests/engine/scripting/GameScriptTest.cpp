#include "ScriptTestSupport.h"

#include "engine/core/DebugSettings.h"
#include "engine/scripting/GilGuard.h"
#include "platform/fake/FakeClock.h"

#include <thread>

namespace {

constexpr const char* kGameModule = R"(
calls = []
count = 0
def InitGame(engine):
    calls.append(('InitGame', type(engine).__name__))
def LoadLevel(name):
    calls.append(('LoadLevel', name))
def LevelUpdate(t):
    calls.append(('LevelUpdate', round(t, 3)))
def MouseDown(x, y, button, clicks):
    calls.append(('MouseDown', x, y, button, clicks))
    raise RuntimeError('script bug')
def MouseMove(x, y):
    global count
    count += 1
def DeinitGame():
    calls.append(('DeinitGame',))
def full_traceback():
    calls.append(('full_traceback',))
def get_object_repr(*args):
    return 'repr:' + ','.join(str(a) for a in args)
def DbgWriteCallback(text):
    calls.append(('Dbg', text))
)";

class GameScriptTest : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        WriteScript("CorvinHOG.py", kGameModule);
    }

    std::string Eval(const char* expr)
    {
        GilGuard gil;
        PyObject* module = PyImport_ImportModule("CorvinHOG");
        PyObject* dict = PyModule_GetDict(module);
        PyObject* r = PyRun_String(expr, Py_eval_input, dict, dict);
        PyObject* s = r ? PyObject_Repr(r) : nullptr;
        std::string text = s ? PyUnicode_AsUTF8(s) : "<error>";
        PyErr_Clear();
        Py_XDECREF(s);
        Py_XDECREF(r);
        Py_XDECREF(module);
        return text;
    }
};

// The cases that run a second thread (labelled "threads").
using GameScriptThreads = GameScriptTest;

TEST_F(GameScriptTest, CallbacksReachTheModuleAndAnExceptionReleasesTheLock)
{
    StartHost();
    gGameScript->CallDbgWrite("early %s text");
    EXPECT_NE(Output().find("EARLY LOG: early %s text\n"), std::string::npos);

    gGameScript->LoadModule();
    ASSERT_TRUE(gGameScript->IsModuleLoaded());
    gGameScript->CallInitGame();
    gGameScript->CallLoadLevel("l1");
    gGameScript->CallMouseDown(10, 20, 0, 2); // raises inside the script
    gGameScript->CallLevelUpdate(0.016f);
    gGameScript->CallDbgWrite("hello");
    EXPECT_EQ(Eval("calls"), "[('InitGame', 'ExtPythonManager'), ('LoadLevel', 'l1'), "
                             "('MouseDown', 10, 20, 0, 2), ('LevelUpdate', 0.016), ('Dbg', 'hello')]");
    EXPECT_EQ(gGameScript->ScriptLock().load(), 0);

    PyObject* args;
    {
        GilGuard gil;
        args = Py_BuildValue("(ii)", 1, 2);
    }
    std::string repr;
    GetScriptRepr(repr, args);
    {
        GilGuard gil;
        Py_DECREF(args);
    }
    EXPECT_EQ(repr, "repr:1,2");
}

TEST_F(GameScriptThreads, LockedCallsFromTwoThreadsAreSerialised)
{
    StartHost();
    gGameScript->LoadModule();
    auto work = [] {
        for (int i = 0; i < 10000; ++i)
            gGameScript->CallMouseMove(i, i);
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(Eval("count"), "20000");
}

TEST_F(GameScriptTest, DeinitClearsTheModuleAndMissingModuleSkipsCallbacks)
{
    StartHost();
    gGameScript->CallDeinitGame(); // nothing loaded: only clears
    EXPECT_FALSE(gGameScript->IsModuleLoaded());
    gGameScript->CallLevelUpdate(0.01f); // no module: skipped without error
    gGameScript->LoadModule();
    gGameScript->CallDeinitGame();
    EXPECT_FALSE(gGameScript->IsModuleLoaded());
    EXPECT_EQ(Eval("calls"), "[('DeinitGame',)]");
}

TEST_F(GameScriptTest, ImportFailureLeavesTheModuleUnloaded)
{
    WriteScript("CorvinHOG.py", "this is not python\n");
    StartHost();
    gGameScript->LoadModule();
    EXPECT_FALSE(gGameScript->IsModuleLoaded());
    gGameScript->CallInitGame();
    GilGuard gil;
    EXPECT_EQ(PyErr_Occurred(), nullptr);
}

} // namespace

namespace {

TEST_F(GameScriptTest, DebugModeSendsScriptErrorsToTheLogFileAndDebuggerOutput)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    gDebugSettings->debugMode = true;
    StartHost();
    gGameScript->LoadModule();
    gGameScript->CallMouseDown(1, 2, 0, 1); // raises
    DestroyInterpreter();
    gDebugSettings->debugMode = false;
    std::filesystem::current_path(previous);

    const std::string log = TestSupport::ReadFileBytes((folder_ / "PythonLogFile.txt").string());
    EXPECT_NE(log.find("RuntimeError: script bug"), std::string::npos) << log;
    EXPECT_TRUE(std::filesystem::exists(folder_ / "DebugLog.txt"));
    // Traceback lines reach the debugger output in the jump-able "file(line): function" form.
    EXPECT_NE(Output().find("CorvinHOG.py(12): MouseDown"), std::string::npos) << Output();
}

TEST_F(GameScriptTest, OutsideDebugModeNoLogFilesAreCreated)
{
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    StartHost();
    DestroyInterpreter();
    std::filesystem::current_path(previous);
    EXPECT_FALSE(std::filesystem::exists(folder_ / "PythonLogFile.txt"));
    EXPECT_FALSE(std::filesystem::exists(folder_ / "DebugLog.txt"));
}

} // namespace

namespace {

TEST_F(GameScriptTest, GameModuleLoadsFromAZippedProgDat)
{
    // Build prog.dat as a zip archive with the interpreter's own zipfile module, then restart on it.
    std::filesystem::remove_all(folder_ / "prog.dat");
    StartHost();
    {
        GilGuard gil;
        const std::string code = "import zipfile\n"
                                 "with zipfile.ZipFile(r'" + (folder_ / "prog.dat").string() + "', 'w') as z:\n"
                                 "    z.writestr('CorvinHOG.py', 'def LevelUpdate(t):\\n    global seen\\n    seen = t\\n')\n"
                                 "    z.writestr('lib/helper.py', 'VALUE = 7\\n')\n";
        ASSERT_EQ(PyRun_SimpleString(code.c_str()), 0);
    }
    delete gGameScript;
    gGameScript = nullptr;
    DestroyInterpreter();

    StartHost();
    gGameScript->LoadModule();
    ASSERT_TRUE(gGameScript->IsModuleLoaded());
    gGameScript->CallLevelUpdate(0.5f);
    EXPECT_EQ(Eval("seen"), "0.5");
    EXPECT_EQ(Eval("__import__('helper').VALUE"), "7");
}

} // namespace

namespace {

constexpr const char* kFailingModule = R"(
def LevelUpdate(t):
    if t < 1:
        return 1 / 0
    raise ValueError('bad level')
)";

TEST_F(GameScriptTest, AnExceptionOnEveryFrameIsPrintedInFullOnceThenCountedAtMostOncePerSecond)
{
    Platform::FakeClock clock;
    Platform::ScopedClock installed(clock);
    WriteScript("CorvinHOG.py", kFailingModule);
    StartHost();
    gGameScript->LoadModule();
    ASSERT_TRUE(gGameScript->IsModuleLoaded());
    {
        GilGuard gil;
        ASSERT_EQ(PyRun_SimpleString("import io, sys\nsys.stderr = io.StringIO()"), 0);
    }
    auto tracebacks = [&] {
        const std::string text = Eval("__import__('sys').stderr.getvalue()");
        size_t count = 0;
        for (size_t at = text.find("Traceback"); at != std::string::npos; at = text.find("Traceback", at + 1))
            ++count;
        return count;
    };
    const std::string file = (folder_ / "prog.dat" / "CorvinHOG.py").string();
    const std::string zero = "ZeroDivisionError: division by zero (in LevelUpdate, " + file + " line 4)";
    const std::string value = "ValueError: bad level (in LevelUpdate, " + file + " line 5)";

    for (int frame = 0; frame < 10; ++frame)
        gGameScript->CallLevelUpdate(0.5f);
    EXPECT_EQ(tracebacks(), 1u);
    EXPECT_EQ(Output().find("repeated"), std::string::npos) << "no repeat line within the second";

    clock.Advance(999);
    gGameScript->CallLevelUpdate(0.5f);
    EXPECT_EQ(Output().find("repeated"), std::string::npos) << Output();
    clock.Advance(1);
    gGameScript->CallLevelUpdate(0.5f);
    EXPECT_NE(Output().find("Script exception repeated 11 more times: " + zero + "\n"), std::string::npos)
        << Output();
    EXPECT_EQ(tracebacks(), 1u);

    for (int frame = 0; frame < 3; ++frame)
        gGameScript->CallLevelUpdate(0.5f);
    gGameScript->CallLevelUpdate(2.0f); // another exception: the count of the last one, then in full
    EXPECT_NE(Output().find("Script exception repeated 3 more times: " + zero + "\n"), std::string::npos)
        << Output();
    EXPECT_EQ(tracebacks(), 2u);
    EXPECT_NE(Eval("__import__('sys').stderr.getvalue()").find("ValueError: bad level"), std::string::npos);

    gGameScript->CallLevelUpdate(0.5f); // and back: in full again
    EXPECT_EQ(tracebacks(), 3u);
    EXPECT_EQ(Output().find(value), std::string::npos) << "the ValueError never repeated";
}

} // namespace
