// The engine object as a script sees it: methods and their results, attributes, profiles, volumes,
// the key table, work handed to the main thread, the log and shutdown. The engine is a fake over
// real tables, profile store, cursor manager and image cache.
#include "ScriptTestSupport.h"

#include "engine/core/CursorManager.h"
#include "engine/core/DebugSettings.h"
#include "engine/core/ImageCache.h"
#include "engine/core/Localization.h"
#include "engine/core/MusicPlayer.h"
#include "engine/core/ProfileStore.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SoundSystem.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "platform/fake/FakeUserFolders.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/FakeImageServices.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>

namespace {

class RecordingProfileHost : public VTProfileHost {
public:
    void SetSoundGroupVolume(int32_t volume, const char* group) override
    {
        calls.push_back(std::string(group ? group : "*") + "=" + std::to_string(volume));
    }
    void SetMusicVolume(int32_t volume) override { calls.push_back("music=" + std::to_string(volume)); }
    bool IsWindowed() const override { return true; }
    void SwitchScreenMode(bool) override {}
    void ReportNoSelectedProfile() override { PrintScriptTraceback(); } // as the engine does

    std::vector<std::string> calls;
};

class RecordingCursorHost : public VTCursorHost {
public:
    void SetCustomCursorsEnabled(bool) override {}
    void SelectCursorNumber(int32_t number) override { numbers.push_back(number); }
    void SetCursorSlotImage(int32_t, Fw::Image*) override {}
    void GetLastMousePosition(int32_t& x, int32_t& y) override { x = y = 0; }
    std::vector<int32_t> numbers;
};

// The engine seen by the engine object. Every call notes whether the interpreter lock was held.
class FakeEngine : public VTEngineServices {
public:
    VTProfileStore* ProfileStore() override { return Note(store.get()); }
    VTSoundManager* SoundManager() override { return Note(sounds); }
    VTMusicPlayer* MusicPlayer() override { return Note(music); }
    VTLocalization* TextTable() override { return Note(&texts); }
    VTLocalization* KeyTable() override { return Note(&keys); }
    VTCursorManager* CursorManager() override { return Note(&cursors); }
    VTImageCache* ImageCache() override { return Note(&cache); }
    VTTextureCatalogue* TextureCatalogue() override { return Note(&catalogue); }
    Fw::Widget* GameBoard() override { return Note(board); }
    Fw::Widget* MouseOverWidget() override { return Note(over); }
    void StartLevelLoad(const std::string& name) override { Record("level " + name); }
    void SelectLoadingPicture(const std::string& name) override { Record("picture " + name); }
    bool IsWindowed() override { return Note(windowed); }
    bool IsFullScreenForced() override { return Note(forced); }
    void SwitchScreenMode(bool on) override
    {
        Record(on ? "windowed" : "full screen");
        windowed = on;
    }
    void OpenUrl(const std::string& url) override { Record("url " + url); }
    void EndMainLoop() override { Record("end"); }
    bool IsEscMenuActive() override { return Note(esc); }
    void SetEscMenuActive(bool active) override { esc = Note(active); }
    bool IsMainThread() override { return std::this_thread::get_id() == mainThread; }
    void PostToMainThread(std::function<void()> task) override { tasks.push_back(std::move(task)); }

    // One application step: its beginning runs what other threads handed to the main thread.
    size_t Step()
    {
        std::vector<std::function<void()>> batch;
        batch.swap(tasks);
        for (auto& task : batch)
            task();
        return batch.size();
    }

    VTLocalization texts, keys;
    RecordingProfileHost profileHost;
    std::unique_ptr<VTProfileStore> store;
    RecordingCursorHost cursorHost;
    VTCursorManager cursors{cursorHost, nullptr};
    TestSupport::FakeImageServices images;
    VTTextureCatalogue catalogue{images};
    VTImageCache cache{catalogue};
    VTSoundManager* sounds = nullptr;
    VTMusicPlayer* music = nullptr;
    Fw::Widget* board = nullptr;
    Fw::Widget* over = nullptr;

    std::vector<std::string> calls;
    std::vector<bool> callsOnMainThread;
    bool windowed = false, forced = false, esc = false;
    std::atomic<int> reachedUnderInterpreterLock{0};
    std::thread::id mainThread = std::this_thread::get_id();
    std::vector<std::function<void()>> tasks; // filled by a worker, run after it was joined

private:
    template <class T>
    T Note(T value)
    {
        if (PyGILState_Check())
            ++reachedUnderInterpreterLock;
        return value;
    }
    void Record(const std::string& what)
    {
        Note(0);
        calls.push_back(what);
        callsOnMainThread.push_back(IsMainThread());
    }
};

class EngineObjectTest : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        engine_.store = std::make_unique<VTProfileStore>(engine_.profileHost);
        WriteScript("CorvinHOG.py", "calls = []\ndef full_traceback():\n    calls.append('traceback')\n");
        StartHost();
        gGameScript->LoadModule();
    }
    void TearDown() override
    {
        engine_.Step(); // nothing queued outlives the test
        ScriptFixture::TearDown();
        gDebugSettings->surveyEdition = saved_.survey;
        gDebugSettings->dbgMenu = saved_.dbgMenu;
        gDebugSettings->showHiddens = saved_.showHiddens;
        gDebugSettings->dbgScene = saved_.dbgScene;
    }

    // Runs statements with "engine" bound to the engine object, then evaluates expression;
    // its repr, or "Name: message" of the exception it raised.
    std::string Run(const std::string& statements, const std::string& expression = "None")
    {
        GilGuard gil;
        PyObject* globals = PyDict_New();
        PyDict_SetItemString(globals, "__builtins__", PyEval_GetBuiltins());
        PyDict_SetItemString(globals, "engine", gExtPythonManager->GetEngineObject()->GetObject());
        const std::string code = "try:\n" + Indent(statements) + "    __r = repr(" + expression +
                                 ")\nexcept Exception as e:\n    __r = type(e).__name__ + ': ' + str(e)\n";
        PyObject* done = PyRun_String(code.c_str(), Py_file_input, globals, globals);
        std::string text = "<error>";
        if (done) {
            if (PyObject* r = PyDict_GetItemString(globals, "__r"))
                text = PyUnicode_AsUTF8(r);
        }
        pendingAfter_ = PyErr_Occurred() != nullptr;
        PyErr_Clear();
        Py_XDECREF(done);
        Py_DECREF(globals);
        return text;
    }

    std::string Eval(const std::string& expression) { return Run("pass", expression); }

    std::string Tracebacks() { return Eval("__import__('CorvinHOG').calls"); }

    std::filesystem::path PrefPath() const { return folder_ / "Varnel Games" / "Corvin HOG" / "pref.dat"; }

    static std::string Indent(const std::string& statements)
    {
        std::string out = "    ";
        for (char c : statements) {
            out += c;
            if (c == '\n')
                out += "    ";
        }
        return out + "\n";
    }

    Platform::FakeUserFolders folders_{temp_.Path(), temp_.Path()};
    Platform::ScopedUserFolders installedFolders_{folders_};
    FakeEngine engine_;
    std::optional<ScopedEngineServices> installed_{std::in_place, engine_};
    bool pendingAfter_ = false;

private:
    struct SavedSettings {
        bool survey = gDebugSettings->surveyEdition, dbgMenu = gDebugSettings->dbgMenu,
             showHiddens = gDebugSettings->showHiddens;
        std::string dbgScene = gDebugSettings->dbgScene;
    } saved_;
};

} // namespace
TEST_F(EngineObjectTest, MethodResults)
{
    engine_.texts.SetText("fire", L"Жар");
    engine_.texts.SetText("heat", L"Жар");
    engine_.texts.SetText("ice", L"Лёд");
    struct Case { const char* call; const char* result; };
    const Case cases[] = {
        {"engine.CompareLoc('fire', 'heat')", "True"},
        {"engine.CompareLoc('fire', 'ice')", "False"},
        {"engine.CompareLoc('missing', 'absent')", "True"},
        {"engine.CompareLoc('fire', 'missing')", "False"},
        {"engine.ProfileCreate('Ann')", "1"},
        {"engine.ProfileCreate('Ann')", "0"},
        {"engine.CreatePS()", "None"},
        {"engine.RemovePS(1, 2)", "None"},
        {"engine.MusicPause()", "None"},
        {"engine.SoundPlay('click')", "None"},
        {"engine.LoadLevel(5)", "None"},
        {"engine.LoadLevel('x')", "None"},
        {"engine.SetKeyInt('k', 'five')", "None"},
        {"engine.ProfileDelete()", "None"},
        {"engine.CompareLoc('only one')", "None"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Eval(c.call), c.result) << c.call;
        EXPECT_FALSE(pendingAfter_) << c.call;
    }
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"level x"})) << "LoadLevel(5) starts nothing";
    EXPECT_EQ(engine_.keys.GetText("k"), L"") << "a failed parse changes nothing";
    EXPECT_EQ(Eval("engine.CreateNothing"), "AttributeError: 'ExtPythonManager' object has no attribute 'CreateNothing'");
}

TEST_F(EngineObjectTest, WithoutAnEngineNothingHappens)
{
    installed_.reset();
    ASSERT_EQ(GetEngineServices(), nullptr);
    EXPECT_EQ(Eval("[engine.ProfileCreate('Ann'), engine.CompareLoc('a', 'b'), engine.SoundPlay('s'), "
                   "engine.SetLoadingSkin('p'), engine.SetFullscreenMode(0), engine.LoadLevel('l'), "
                   "engine.Shutdown(), engine.users_list, engine.active_user, engine.profile_data, "
                   "engine.is_fullscreen, engine.esc_menu_active]"),
              "[0, True, None, None, None, None, None, [], -1, '', 0, 0]");
    EXPECT_EQ(Run("engine.profile_data = 'x'\nengine.esc_menu_active = 1"), "None");
}

TEST_F(EngineObjectTest, KeyTable)
{
    engine_.texts.SetText("app_title", L"Corvin");
    const std::string steps[] = {"engine.SetKeyInt('k', 5)", "engine.SetKeyLoc('k', 'app_title')",
                                 "engine.SetKeyText('k', 'Жар')", "engine.ClearKey('k')"};
    const std::wstring after[] = {L"5", L"Corvin", L"Жар", L""};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(Run(steps[i]), "None");
        EXPECT_EQ(engine_.keys.GetText("k"), after[i]) << steps[i];
    }
    EXPECT_EQ(Run("engine.SetKeyText(b'k', b'\\xd0\\x96')"), "None") << "bytes are UTF-8 text";
    EXPECT_EQ(engine_.keys.GetText("k"), L"Ж");
    EXPECT_EQ(Run("engine.SetKeyLoc('k', 'no such text')"), "None");
    EXPECT_EQ(engine_.keys.GetText("k"), L"");
}

TEST_F(EngineObjectTest, ProfilesCreateSelectDelete)
{
    EXPECT_EQ(Eval("engine.active_user"), "-1");
    EXPECT_EQ(Eval("engine.profile_data"), "''");
    EXPECT_EQ(Eval("engine.active_user_name"), "''");
    EXPECT_EQ(Tracebacks(), "['traceback']") << "the name read without any profile prints the traceback";
    EXPECT_EQ(Run("engine.profile_data = 'lost'"), "None");
    EXPECT_EQ(Tracebacks(), "['traceback', 'traceback']") << "and so does the write";

    EXPECT_EQ(Eval("(engine.ProfileCreate('Ann'), engine.ProfileCreate('Борис'))"), "(1, 1)");
    EXPECT_EQ(Eval("engine.users_list"), "['Ann', 'Борис']");
    EXPECT_EQ(Eval("(engine.active_user, engine.active_user_name)"), "(1, 'Борис')");
    EXPECT_EQ(Run("engine.profile_data = 'level=3 ключ'"), "None");
    EXPECT_EQ(Eval("engine.profile_data"), "'level=3 ключ'") << "profile data stays str, UTF-8 inside";

    // Selection is stored as given; reads of the selected profile never leave the list.
    EXPECT_EQ(Run("engine.ProfileSelect(7)"), "None");
    EXPECT_EQ(Eval("(engine.active_user, engine.active_user_name, engine.profile_data)"), "(7, '', '')");
    EXPECT_EQ(Run("engine.profile_data = 'nowhere'"), "None");
    EXPECT_EQ(Run("engine.ProfileSelect(1)", "engine.profile_data"), "'level=3 ключ'") << "the write stored nothing";

    // Out of range: nothing changes and no file is written.
    std::filesystem::remove(PrefPath());
    EXPECT_EQ(Run("engine.ProfileDelete(2)\nengine.ProfileDelete(-1)", "engine.users_list"), "['Ann', 'Борис']");
    EXPECT_FALSE(std::filesystem::exists(PrefPath()));

    // Deleting the selected last profile moves the selection back; the file is written.
    EXPECT_EQ(Run("engine.ProfileDelete(1)", "(engine.active_user, engine.active_user_name, engine.users_list)"),
              "(0, 'Ann', ['Ann'])");
    EXPECT_TRUE(std::filesystem::exists(PrefPath()));
    EXPECT_EQ(Eval("engine.profile_data"), "''");
    EXPECT_EQ(Run("engine.profile_data = 5"), "TypeError: profile_data must be a str, not int");
}

TEST_F(EngineObjectTest, VolumesApplyThroughTheProfileStore)
{
    const VTProfileSettings& settings = engine_.store->Settings();
    // Applied values are master x group x 0.01f, truncated (100 x 40 gives 39).
    struct Case { const char* call; std::vector<std::string> applied; };
    const Case cases[] = {
        {"engine.SetGroupVolume('music', 40)", {"music=39"}},
        {"engine.SetGroupVolume('ui', 50)", {"ui=49", "game=59", "ambient=59"}},
        {"engine.SetGroupVolume('nothing', 10)", {"ui=49", "game=59", "ambient=59"}},
        {"engine.SetMasterVolume('sfx_master', 0)", {"ui=0", "game=0", "ambient=0"}},
        {"engine.SetMasterVolume('music_master', 50)", {"music=19"}},
        {"engine.SetMasterVolume('other', 70)", {}},
        {"engine.SetGroupVolume('music')", {}},
    };
    for (const Case& c : cases) {
        engine_.profileHost.calls.clear();
        EXPECT_EQ(Run(c.call), "None");
        EXPECT_EQ(engine_.profileHost.calls, c.applied) << c.call;
    }
    EXPECT_EQ(settings.musicVolume, 40);
    EXPECT_EQ(settings.uiVolume, 50);
    EXPECT_EQ(settings.masterSoundVolume, 0);
    EXPECT_EQ(settings.masterMusicVolume, 50);
    EXPECT_EQ(Eval("(engine.master_sfx, engine.master_music)"), "(0, 50)");
}

TEST_F(EngineObjectTest, Attributes)
{
    EXPECT_EQ(Run("engine.Foo = 1"), "AttributeError: 'ExtPythonManager' object has no attribute 'Foo'");
    EXPECT_EQ(Run("engine.is_fullscreen = 1"),
              "AttributeError: 'ExtPythonManager' object has no attribute 'is_fullscreen'");
    EXPECT_EQ(Run("del engine.esc_menu_active"),
              "AttributeError: 'ExtPythonManager' object has no attribute 'esc_menu_active'");
    EXPECT_EQ(Eval("engine.Foo"), "AttributeError: 'ExtPythonManager' object has no attribute 'Foo'");
    EXPECT_EQ(Eval("(type(engine).__name__, engine.SoundPlay.__self__ is engine)"), "('ExtPythonManager', True)");

    EXPECT_EQ(Run("engine.esc_menu_active = 2", "engine.esc_menu_active"), "1");
    EXPECT_TRUE(engine_.esc);
    EXPECT_EQ(Run("engine.esc_menu_active = 0.0", "engine.esc_menu_active"), "0");

    engine_.windowed = true;
    engine_.forced = false;
    EXPECT_EQ(Eval("(engine.is_fullscreen, engine.windowmode_allowed)"), "(0, 1)");
    engine_.windowed = false;
    engine_.forced = true;
    EXPECT_EQ(Eval("(engine.is_fullscreen, engine.windowmode_allowed)"), "(1, 0)");

    gDebugSettings->dbgScene = "hall";
    gDebugSettings->dbgMenu = true;
    gDebugSettings->showHiddens = false;
    EXPECT_EQ(Eval("(engine.dbg_scene, engine.dbg_menu, engine.show_hiddens, engine.hiddens_color)"),
              "('hall', 1, 0, [1.0, 0.0, 0.0, 0.5])");
}

TEST_F(EngineObjectTest, FullscreenModeOnTheMainThread)
{
    engine_.windowed = false;
    engine_.store->Settings().windowed = 0;
    EXPECT_EQ(Run("engine.SetFullscreenMode(0)", "engine.is_fullscreen"), "0");
    EXPECT_EQ(engine_.store->Settings().windowed, 1) << "the profile's screen-mode byte follows the switch";
    engine_.forced = true; // a forced full screen refuses the window
    engine_.windowed = false;
    EXPECT_EQ(Run("engine.SetFullscreenMode(1)", "engine.is_fullscreen"), "1");
    EXPECT_EQ(engine_.store->Settings().windowed, 0);
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"windowed", "full screen"}));
}

TEST_F(EngineObjectTest, WorkerThreadsHandDisplayWorkToTheNextStep)
{
    engine_.store->Settings().windowed = 0;
    std::string result;
    std::thread worker([&] { result = Run("engine.SetLoadingSkin('dusk')\nengine.SetFullscreenMode(0)\n"
                                          "engine.LoadLevel('crypt')"); });
    worker.join();
    EXPECT_EQ(result, "None");
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"level crypt"})) << "nothing shown before the step";
    EXPECT_EQ(engine_.store->Settings().windowed, 0);

    EXPECT_EQ(engine_.Step(), 2u);
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"level crypt", "picture dusk", "windowed"}));
    EXPECT_EQ(engine_.callsOnMainThread, (std::vector<bool>{false, true, true}));
    EXPECT_EQ(engine_.store->Settings().windowed, 1);
    EXPECT_EQ(engine_.Step(), 0u) << "each acts once";

    EXPECT_EQ(Run("engine.SetLoadingSkin('dawn')"), "None");
    EXPECT_EQ(engine_.calls.back(), "picture dawn") << "on the main thread it acts at once";
}

TEST_F(EngineObjectTest, NoEngineLockUnderTheInterpreterLock)
{
    Run("engine.ProfileCreate('Ann')\nengine.SetKeyInt('k', 1)\nengine.SetKeyLoc('k', 'x')\n"
        "engine.CompareLoc('a', 'b')\nengine.SetKeyText('k', 'y')\nengine.ClearKey('k')\n"
        "engine.SetCursor('none')\nengine.MusicChange('theme')\nengine.SoundPlay('s')\n"
        "engine.SetGroupVolume('ui', 1)\nengine.SetMasterVolume('sfx_master', 1)\n"
        "engine.ImgCachePush('g', 'a.png')\nengine.ImgCachePop('g', 'a.png')\nengine.ImgCacheReset('g')\n"
        "engine.SetLoadingSkin('p')\nengine.SetFullscreenMode(1)\nengine.ProfileSelect(0)\n"
        "engine.ProfileDelete(0)\nengine.LoadLevel('l')\nengine.esc_menu_active = 1\nengine.profile_data = 'd'\n"
        "engine.WriteLog('w')\nengine.Shutdown()\n",
        "[engine.profile_data, engine.users_list, engine.active_user, engine.active_user_name, "
        "engine.master_sfx, engine.is_fullscreen, engine.windowmode_allowed, engine.esc_menu_active]");
    EXPECT_GT(engine_.calls.size(), 3u);
    EXPECT_EQ(engine_.reachedUnderInterpreterLock.load(), 0);
}

TEST_F(EngineObjectTest, CursorAndImageCache)
{
    engine_.images.Add("menu\\a.png", 1, 1, 0xFFFFFFFF);
    engine_.images.Add("menu\\b.png", 1, 1, 0xFFFFFFFF);
    EXPECT_EQ(Run("engine.SetCursor('none')\nengine.SetCursor('no such mode')"), "None");
    EXPECT_EQ(engine_.cursorHost.numbers,
              (std::vector<int32_t>{VTCursorHost::kHiddenCursor, VTCursorHost::kStandardCursor}));

    EXPECT_EQ(Run("engine.ImgCachePush('menu', 'menu\\\\a.png')\nengine.ImgCachePush('menu', 'menu\\\\b.png')"), "None");
    EXPECT_EQ(engine_.cache.EntryCount("menu"), 2u);
    EXPECT_EQ(Run("engine.ImgCachePop('menu', 'menu\\\\a.png')"), "None");
    EXPECT_EQ(engine_.cache.EntryCount("menu"), 1u);
    EXPECT_EQ(Run("engine.ImgCacheReset('menu')"), "None");
    EXPECT_EQ(engine_.cache.EntryCount("menu"), 0u);
    EXPECT_EQ(engine_.images.Created(), engine_.images.Deleted());
}

TEST_F(EngineObjectTest, SoundAndMusicReachTheDevice)
{
    Platform::RecordingSoundDevice device;
    Platform::SoundDevice* previous = Platform::SetSoundDevice(&device);
    InitSoundSystem(0);
    const std::string sample = (folder_ / "click.wav").string();
    TestSupport::WriteFileBytes(sample, "RIFF-sample");
    {
        VTSoundManager sounds;
        VTMusicPlayer music;
        Platform::XmlDocument document = CreateXmlDocument();
        const std::string xml = "<root><sounds><sound name=\"click\" group=\"ui\" path=\"" + sample +
                                "\"/></sounds><music><stream name=\"theme\" path=\"" + sample +
                                "\"/></music></root>";
        ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
        sounds.LoadFromXml(document.DocumentElement());
        music.LoadMusicStreamList(document.DocumentElement());
        EXPECT_EQ(Run("engine.SoundPlay('click')"), "None") << "no sound manager: nothing";
        EXPECT_TRUE(device.CallsNamed("Sample_PlayEx").empty());

        engine_.sounds = &sounds;
        engine_.music = &music;
        EXPECT_EQ(Run("engine.SoundPlay('click')\nengine.MusicChange('theme')"), "None");
        EXPECT_EQ(device.CallsNamed("Sample_PlayEx").size(), 2u);
        EXPECT_EQ(music.CurrentName(), "theme");
        EXPECT_NE(music.CurrentChannel(), 0);
        EXPECT_EQ(Run("engine.MusicPause()\nengine.MusicResume()"), "None");
        EXPECT_EQ(device.CallsNamed("Channel_Pause").size(), 2u);
        engine_.sounds = nullptr;
        engine_.music = nullptr;
    }
    ShutdownSoundSystem();
    Platform::SetSoundDevice(previous);
}

TEST_F(EngineObjectTest, WriteLogNumbersItsLines)
{
    EXPECT_EQ(Run("engine.WriteLog('x')\nengine.WriteLog('жар')\nengine.WriteLog(3)"), "None");
    EXPECT_NE(Output().find("   1. WriteLog: x\n   2. WriteLog: жар\n"), std::string::npos) << Output();
    EXPECT_EQ(Output().find("   3."), std::string::npos) << "a failed parse writes no line";
}

TEST_F(EngineObjectTest, ShutdownEndsTheLoopAndTheSurveyOpensItsLink)
{
    EXPECT_EQ(Run("engine.Shutdown()"), "None");
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"end"}));

    gDebugSettings->surveyEdition = true;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(folder_);
    engine_.calls.clear();
    EXPECT_EQ(Run("engine.Shutdown()"), "None");
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"end"})) << "a missing link.txt skips the address";

    TestSupport::WriteFileBytes((folder_ / "link.txt").string(), "  https://example.com/survey \r\nsecond line\n");
    engine_.calls.clear();
    EXPECT_EQ(Run("engine.Shutdown()"), "None");
    EXPECT_EQ(engine_.calls, (std::vector<std::string>{"url https://example.com/survey", "end"}));
    std::filesystem::current_path(previous);
}
