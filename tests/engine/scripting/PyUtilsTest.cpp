#include "ScriptTestSupport.h"

#include "engine/scripting/GilGuard.h"
#include "engine/scripting/PyUtils.h"
#include "engine/core/DebugSettings.h"
#include "platform/fake/FakeClock.h"

namespace {

class RecordingApp : public ScriptApplication {
public:
    void SetWindowTitle(const std::string& title) override { titles.push_back(title); }
    void RequestShutdown() override { ++shutdowns; }
    std::vector<std::string> titles;
    int shutdowns = 0;
};

class PyUtilsTest : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        ResetPyUtilsState();
        WriteScript("CorvinHOG.py", "def get_object_repr(*a):\n    return 'R' + repr(a)\n");
        StartHost(&app_);
        gGameScript->LoadModule();
    }
    void TearDown() override
    {
        gDebugSettings->debugMode = false;
        gDebugSettings->cheats = false;
        ScriptFixture::TearDown();
    }

    // Runs statements in a fresh namespace that imported py_utils; returns repr(result).
    std::string Run(const char* code)
    {
        GilGuard gil;
        PyObject* globals = PyDict_New();
        PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
        PyRun_String("import py_utils as u", Py_file_input, globals, globals);
        PyObject* r = PyRun_String(code, Py_eval_input, globals, globals);
        std::string text = "<error>";
        if (r) {
            PyObject* s = PyObject_Repr(r);
            text = PyUnicode_AsUTF8(s);
            Py_DECREF(s);
        }
        pendingAfter_ = PyErr_Occurred() != nullptr;
        PyErr_Clear();
        Py_XDECREF(r);
        Py_DECREF(globals);
        return text;
    }

    RecordingApp app_;
    bool pendingAfter_ = false;
};

TEST_F(PyUtilsTest, ReadFilePak)
{
    TestSupport::WriteFileBytes((folder_ / "zero.txt").string(), std::string("ab\0cd", 5));
    TestSupport::WriteFileBytes((folder_ / "empty.txt").string(), "");
    const std::string base = folder_.string() + "/";
    EXPECT_EQ(Run(("u.ReadFilePak('" + base + "zero.txt')").c_str()), "'ab'");
    EXPECT_EQ(Run(("u.ReadFilePak('" + base + "empty.txt')").c_str()), "''");
    EXPECT_EQ(Run(("u.ReadFilePak('" + base + "missing.txt')").c_str()), "None");
    EXPECT_EQ(Run("u.ReadFilePak(5)"), "None") << "a bad argument answers None";
    EXPECT_EQ(Run(("u.ReadFilePak('" + base + "empty.txt\\0x')").c_str()), "None") << "text with a NUL fails";
    EXPECT_FALSE(pendingAfter_) << "and leaves no pending error";
    EXPECT_EQ(Run("u.MarkTime()"), "None");
}

TEST_F(PyUtilsTest, LogAndTitleOnlyInDebugMode)
{
    EXPECT_EQ(Run("u.Log('quiet')"), "None");
    EXPECT_EQ(Output().find("quiet"), std::string::npos);
    EXPECT_EQ(Run("u.DbgEnabled()"), "False");

    gDebugSettings->debugMode = true;
    gDebugSettings->cheats = true;
    Run("u.Log('abc')");
    Run("u.Log(u'caf\\u00e9')");
    Run("u.Log(1, 2)");
    EXPECT_NE(Output().find("abc\n"), std::string::npos);
    EXPECT_NE(Output().find("caf\xc3\xa9\n"), std::string::npos);
    EXPECT_NE(Output().find("R(1, 2)\n"), std::string::npos) << Output();
    Run("u.SetTitle('t1')");
    EXPECT_EQ(app_.titles, std::vector<std::string>{"t1"});
    EXPECT_EQ(Run("(u.DbgEnabled(), u.CheatsEnabled(), u.IsZNQSurvey())"), "(True, True, False)");
}

TEST_F(PyUtilsTest, FirstMarkTimeCountsFromTheStart)
{
    Platform::FakeClock clock;
    Platform::ScopedClock installed(clock);
    ResetPyUtilsState(); // the start, as the program sees it
    gDebugSettings->debugMode = true;
    clock.Advance(1500);
    Run("u.MarkTime('first')");
    clock.Advance(250);
    Run("u.MarkTime('second')");
    EXPECT_NE(Output().find("1.500s - first\n"), std::string::npos) << Output();
    EXPECT_NE(Output().find("0.250s - second\n"), std::string::npos) << Output();
    EXPECT_EQ(Run("u.MarkTime('a\\0b')"), "None");
    EXPECT_EQ(Output().find("- a"), std::string::npos) << "text with a NUL is refused";
}

TEST_F(PyUtilsTest, SurveyFinishSetsQuietExitAndRequestsShutdown)
{
    EXPECT_EQ(Run("u.QuietExit()"), "False");
    Run("u.SurveyFinish()");
    EXPECT_EQ(app_.shutdowns, 1);
    EXPECT_EQ(Run("u.QuietExit()"), "True");
    EXPECT_EQ(Run("u.QuietExit()"), "True");
}

} // namespace
