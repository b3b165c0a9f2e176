// Script twins of widgets, particle systems and sound items as scripts see them: attributes, the
// per-frame update_fn, changes to the tree from inside the walk, the engine object's widget methods,
// mouse_widget and sound items. The engine is a fake over a real widget manager, game board widget,
// texture catalogue and, for sounds, the recording sound device.
#include "ScriptTestSupport.h"

#include "engine/boards/FrameSeconds.h"
#include "engine/core/ImageCache.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SoundSystem.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "engine/scripting/CandyWidget3.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ParticleSystem3.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/FakeImageServices.h"

#include <thread>

namespace {

class FakeEngine : public VTEngineServices {
public:
    VTProfileStore* ProfileStore() override { return nullptr; }
    VTSoundManager* SoundManager() override { return sounds; }
    VTMusicPlayer* MusicPlayer() override { return nullptr; }
    VTLocalization* TextTable() override { return nullptr; }
    VTLocalization* KeyTable() override { return nullptr; }
    VTCursorManager* CursorManager() override { return nullptr; }
    VTImageCache* ImageCache() override { return nullptr; }
    VTTextureCatalogue* TextureCatalogue() override { return &catalogue; }
    Fw::Widget* GameBoard() override { return &board; }
    Fw::Widget* MouseOverWidget() override { return manager.GetOverWidget(); }
    void StartLevelLoad(const std::string&) override {}
    void SelectLoadingPicture(const std::string&) override {}
    bool IsWindowed() override { return true; }
    bool IsFullScreenForced() override { return false; }
    void SwitchScreenMode(bool) override {}
    void OpenUrl(const std::string&) override {}
    void EndMainLoop() override {}
    bool IsEscMenuActive() override { return esc; }
    void SetEscMenuActive(bool active) override { esc = active; }
    bool IsMainThread() override { return std::this_thread::get_id() == mainThread; }
    void PostToMainThread(std::function<void()> task) override { task(); }

    TestSupport::FakeImageServices images;
    VTTextureCatalogue catalogue{images};
    Fw::WidgetManager manager{nullptr};
    Fw::Widget board;
    VTSoundManager* sounds = nullptr;
    bool esc = false;
    std::thread::id mainThread = std::this_thread::get_id();
};

class ScriptWidgetTest : public ScriptFixture {
protected:
    void SetUp() override
    {
        ScriptFixture::SetUp();
        WriteScript("CorvinHOG.py", "calls = []\ndef full_traceback():\n    calls.append('traceback')\n");
        StartHost();
        gGameScript->LoadModule();
        engine_.manager.SetScreenRects(Fw::Rect(0, 0, 1024, 768), Fw::Rect(0, 0, 1024, 768));
        engine_.board.Resize(0, 0, 1024, 768);
        engine_.manager.AddWidget(&engine_.board);
        GilGuard gil;
        globals_ = PyDict_New();
        PyDict_SetItemString(globals_, "__builtins__", PyEval_GetBuiltins());
        PyDict_SetItemString(globals_, "engine", gExtPythonManager->GetEngineObject()->GetObject());
        PyRun_String("class Owner:\n    pass\nlog = []\n", Py_file_input, globals_, globals_);
    }
    void TearDown() override
    {
        Run("for name in list(globals()):\n    if not name.startswith('__') and name != 'engine':\n"
            "        globals()[name] = None");
        engine_.board.RemoveAllWidgets(true, false); // the board owns what scripts put on it
        engine_.manager.RemoveWidget(&engine_.board);
        gFrameSeconds = 0.0f;
        {
            GilGuard gil;
            Py_CLEAR(globals_);
        }
        ScriptFixture::TearDown();
    }

    // Runs statements in the test's globals, then evaluates expression: its repr, or
    // "Name: message" of the exception.
    std::string Run(const std::string& statements, const std::string& expression = "None")
    {
        GilGuard gil;
        std::string code = "try:\n";
        std::string indented = "    ";
        for (char c : statements) {
            indented += c;
            if (c == '\n')
                indented += "    ";
        }
        code += indented + "\n    __r = repr(" + expression +
                ")\nexcept Exception as e:\n    __r = type(e).__name__ + ': ' + str(e)\n";
        PyObject* done = PyRun_String(code.c_str(), Py_file_input, globals_, globals_);
        std::string text = "<error>";
        if (done)
            if (PyObject* r = PyDict_GetItemString(globals_, "__r"))
                text = PyUnicode_AsUTF8(r);
        PyErr_Clear();
        Py_XDECREF(done);
        return text;
    }
    std::string Eval(const std::string& expression) { return Run("pass", expression); }

    // The engine widget behind a global twin name.
    VTCandyWidget3* Widget(const std::string& name)
    {
        GilGuard gil;
        PyObject* twin = PyDict_GetItemString(globals_, name.c_str());
        return dynamic_cast<VTCandyWidget3*>(TwinBrother(twin));
    }

    FakeEngine engine_;
    ScopedEngineServices installed_{engine_};
    PyObject* globals_ = nullptr;
};

} // namespace

TEST_F(ScriptWidgetTest, CommonAndClassAttributes)
{
    ASSERT_EQ(Run("w = engine.CreateWidget(Owner(), None)", "type(w).__name__"), "'VTPyCandyWidget3'");
    VTCandyWidget3* w = Widget("w");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->flagsMod.removeFlags & Fw::WidgetFlags::AllowMouse, Fw::WidgetFlags::AllowMouse)
        << "a new script widget takes no mouse input";

    EXPECT_EQ(Run("w.color = [1.0, 0.5, 0.5, 0.5]"), "None");
    EXPECT_FLOAT_EQ(w->alpha, 1.0f);
    EXPECT_FLOAT_EQ(w->colorR, 127.0f / 255.0f);
    EXPECT_FLOAT_EQ(w->colorG, 127.0f / 255.0f);
    EXPECT_FLOAT_EQ(w->colorB, 127.0f / 255.0f);

    w->flagsMod.addFlags = Fw::WidgetFlags::Draw;
    EXPECT_EQ(Run("w.allow_mouse = 1", "w.allow_mouse"), "1");
    EXPECT_EQ(w->flagsMod.addFlags, Fw::WidgetFlags::AllowMouse) << "exactly the allow-mouse bit is added";
    EXPECT_EQ(w->flagsMod.removeFlags & Fw::WidgetFlags::AllowMouse, 0u);
    EXPECT_EQ(Run("w.allow_mouse = 0", "w.allow_mouse"), "0");
    EXPECT_EQ(w->flagsMod.removeFlags, Fw::WidgetFlags::AllowMouse);

    EXPECT_FALSE(w->IsMenuRoot());
    EXPECT_EQ(Run("w.is_menu_root = 0"), "None");
    EXPECT_TRUE(w->IsMenuRoot()) << "any value sets the flag";

    EXPECT_EQ(Run("w.x = 10.7", "w.x"), "10.7");
    EXPECT_EQ(w->x, 10) << "the framework position is truncated";
    EXPECT_EQ(Run("w.y = -3.5\nw.width = 40.9", "(w.x, w.y, w.width)"), "(10.7, -3.5, 40.0)")
        << "a later write keeps the other exact values";
    EXPECT_EQ(Run("w.rotatepoint_x = 7", "w.debug"), "0");
    EXPECT_EQ(w->scalePoint.x, 7);
    EXPECT_EQ(Run("w.scalepoint_x = 9\nw.debug = 5", "w.debug"), "1");
    EXPECT_EQ(w->scalePoint.x, 9);
    EXPECT_EQ(Run("w.scale_x = 2.0\nw.scale_y = 0.5"), "None");
    EXPECT_FLOAT_EQ(w->scaleX, 2.0f);
    EXPECT_EQ(Run("w.scale = 3.0"), "None");
    EXPECT_FLOAT_EQ(w->scaleY, 3.0f);

    EXPECT_EQ(Run("w.no_such = 1"), "AttributeError: 'VTPyCandyWidget3' object has no attribute 'no_such'");
    EXPECT_EQ(Eval("w.no_such"), "AttributeError: 'VTPyCandyWidget3' object has no attribute 'no_such'");

    // visible answers for the widget with all its engine ancestors.
    EXPECT_EQ(Run("c = engine.CreateWidget(Owner(), w)\nw.AddWidget(c, 'child')\nc.visible = 1", "c.visible"), "0");
    EXPECT_EQ(Run("w.visible = 1", "c.visible"), "1");
    EXPECT_EQ(Widget("c")->Uid(), "child");

    // Only the plain widget takes children; a particle twin has no AddWidget.
    EXPECT_EQ(Eval("w.CreatePS('spark').AddWidget"),
              "AttributeError: 'VTPyParticleSystem3' object has no attribute 'AddWidget'");
}

TEST_F(ScriptWidgetTest, TransformPivotsInOwnCoordinatesAndScalesPerAxis)
{
    Run("w = engine.CreateWidget(Owner(), None)\nw.x = 100\nw.y = 50\nw.scale_x = 2.0\nw.scale_y = 3.0\n"
        "w.scalepoint_x = 10\nw.scalepoint_y = 10");
    const Fw::FloatPoint p = Widget("w")->GetTransform().TransformPoint({10.0f, 10.0f});
    EXPECT_FLOAT_EQ(p.x, 110.0f) << "the pivot stays at position + pivot";
    EXPECT_FLOAT_EQ(p.y, 60.0f);
    const Fw::FloatPoint q = Widget("w")->GetTransform().TransformPoint({11.0f, 11.0f});
    EXPECT_FLOAT_EQ(q.x, 112.0f);
    EXPECT_FLOAT_EQ(q.y, 63.0f);
}

TEST_F(ScriptWidgetTest, UpdateFnGetsTheFrameMillisecondsAndFollowsTheMenuRule)
{
    Run("w = engine.CreateWidget(Owner(), None)\nw.update_fn = lambda ms: log.append(ms)\n"
        "engine.AddWidget(w, 'w')");
    gFrameSeconds = 0.01f;
    engine_.manager.UpdateFrame();
    gFrameSeconds = 0.0f; // the level is not running (inactive window)
    engine_.manager.UpdateFrame();
    EXPECT_EQ(Eval("[round(ms, 3) for ms in log]"), "[10.0, 0.0]");

    engine_.esc = true;
    engine_.manager.UpdateFrame();
    EXPECT_EQ(Eval("len(log)"), "2") << "skipped under esc_menu_active";
    Run("root = engine.CreateWidget(Owner(), None)\nroot.is_menu_root = 1\nengine.AddWidget(root, 'root')\n"
        "root.AddWidget(w, 'w')");
    engine_.manager.UpdateFrame();
    EXPECT_EQ(Eval("len(log)"), "3") << "runs below a menu root";
}

TEST_F(ScriptWidgetTest, ResetInsideUpdateFnWaitsForTheWalk)
{
    Run("a = engine.CreateWidget(Owner(), None)\nb = engine.CreateWidget(Owner(), None)\n"
        "kid = engine.CreateWidget(Owner(), a)\na.AddWidget(kid, 'kid')\n"
        "engine.AddWidget(a, 'a')\nengine.AddWidget(b, 'b')\n"
        "def step(ms):\n    log.append('a')\n    a.Reset()\n    b.Reset()\n    a.x = 5\n"
        "a.update_fn = step\nb.update_fn = lambda ms: log.append('b')\n"
        "kid.update_fn = lambda ms: log.append('kid')\nkid_ps = kid.CreatePS('p')\n");
    engine_.manager.UpdateFrame(); // under ASan: nothing freed while walked
    EXPECT_EQ(Eval("log"), "['a', 'kid']") << "a's subtree is walked whole; b, reset before its turn, is not";
    EXPECT_TRUE(engine_.board.GetChildren().empty());
    EXPECT_EQ(Eval("a.x"), "AttributeError: 'VTPyCandyWidget3' object has no attribute 'x'");
    EXPECT_EQ(Eval("kid.x"), "AttributeError: 'VTPyCandyWidget3' object has no attribute 'x'")
        << "a widget deleted by its owner clears its twin";
    EXPECT_EQ(Eval("__import__('CorvinHOG').calls"), "['traceback', 'traceback']");
    EXPECT_EQ(Run("kid_ps.Reset()", "kid_ps.debug"), "AttributeError: 'VTPyParticleSystem3' object has no attribute 'debug'")
        << "a system whose owner went first is reset without reaching it";
}

TEST_F(ScriptWidgetTest, EngineAddAndRemoveKeepReferenceCountsAndKeys)
{
    Run("import sys\nw = engine.CreateWidget(Owner(), None)\nbase = sys.getrefcount(w)");
    EXPECT_EQ(Run("engine.AddWidget(w, 'first')\nengine.RemoveWidget(w)\nengine.AddWidget(w, 'again')\n"
                  "engine.RemoveWidget(w)\nengine.RemoveWidget(w)",
                  "sys.getrefcount(w) - base"),
              "0");
    EXPECT_TRUE(engine_.board.GetChildren().empty());
    EXPECT_EQ(Run("engine.AddWidget(w, 'x')", "(engine.AddWidget(5, 'x'), engine.RemoveWidget('w'))"), "(None, None)");
    EXPECT_EQ(engine_.board.GetChildren().size(), 1u);
    EXPECT_EQ(Run("w.Reset()\nw.Reset()", "sys.getrefcount(w) - base"), "-1")
        << "the widget's own reference goes with it, once";
    EXPECT_TRUE(engine_.board.GetChildren().empty()) << "Reset takes the widget out of the board first";

    // Parents: None or a widget twin; anything else is refused.
    EXPECT_EQ(Eval("engine.CreateWidget(Owner(), 'parent')"), "None");
    EXPECT_EQ(Eval("engine.CreateWidget(Owner(), engine)"), "None");
    EXPECT_EQ(Run("p = engine.CreateWidget(Owner(), None)\nc = engine.CreateWidget(Owner(), p)\n"
                  "p.AddWidget(c, 'c')\nc.AddWidget(p, 'loop')\np.AddWidget(p, 'self')\np.SetMaskWidget(engine)"),
              "None");
    EXPECT_EQ(Widget("c")->GetEngineParent(), Widget("p"));
    EXPECT_EQ(Widget("p")->FindChild(ScriptWidgetKey(Widget("c"))), Widget("c")) << "filed under its full address";
    EXPECT_EQ(Widget("p")->GetParent(), nullptr) << "no loops";
    Run("p.Reset()");
}

TEST_F(ScriptWidgetTest, MouseWidget)
{
    engine_.images.Add("dot", 4, 4, std::vector<uint32_t>{0xFF000000, 0x00000000, 0xFF000000, 0xFF000000,
                                                          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
                                                          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000,
                                                          0xFF000000, 0xFF000000, 0xFF000000, 0xFF000000});
    auto* xml = new VTCandyWidget();
    xml->Resize(200, 200, 10, 10);
    xml->SetVisible(true);
    engine_.board.AddWidget(xml);
    Run("w = engine.CreateWidget(Owner(), None)\nw.SetTexture('dot', 0, 0, 4, 4, 0, 1, 1, 0)\n"
        "w.x = 10\nw.y = 10\nw.width = 8\nw.height = 8\nw.visible = 1\nengine.AddWidget(w, 'w')");
    struct Case { const char* setup; int x, y; const char* expected; };
    const Case cases[] = {
        {"", 11, 11, "None"},                          // no allow_mouse yet
        {"w.allow_mouse = 1", 11, 11, "'VTPyCandyWidget3'"}, // opaque pixel
        {"", 11, 10, "None"},                          // transparent pixel (1, 0)
        {"", 15, 15, "None"},                          // beyond the texture's 4 x 4 rectangle
        {"w.allow_solid_rect = 1", 11, 10, "'VTPyCandyWidget3'"},
        {"", 205, 205, "None"},                        // a widget built from XML
        {"", 500, 500, "None"},                        // the bare board
    };
    for (const Case& c : cases) {
        Run(c.setup);
        engine_.manager.MouseMove(c.x, c.y);
        EXPECT_EQ(Eval("type(engine.mouse_widget).__name__ if engine.mouse_widget is not None else None"), c.expected)
            << c.setup << " at " << c.x << "," << c.y;
    }
    EXPECT_EQ(Eval("engine.mouse_widget is w"), "False");
    engine_.manager.MouseMove(11, 11);
    EXPECT_EQ(Eval("engine.mouse_widget is w"), "True");
}

TEST_F(ScriptWidgetTest, ParticleSystemsOfAWidget)
{
    Run("w = engine.CreateWidget(Owner(), None)\nps = w.CreatePS('spark')\nps.born_speed = 60.0\n"
        "ps.age_clr = {0.0: [255, 255, 0, 0], 0.5: [128, 0, 255, 0]}\nps.Play()");
    VTCandyWidget3* w = Widget("w");
    ASSERT_EQ(w->ParticleSystems().size(), 1u);
    VTParticleSystem3* ps = w->ParticleSystems()[0];
    EXPECT_EQ(ps->Desc().capacity, 30) << "capacity stays as set up";
    EXPECT_FLOAT_EQ(ps->Desc().emissionRate, 60.0f);
    ASSERT_EQ(ps->Desc().keyCount, 2);
    EXPECT_FLOAT_EQ(ps->Desc().keys[1].age, 1.01f);
    EXPECT_TRUE(ps->IsActive());
    EXPECT_EQ(Run("ps.nothing = 1"), "AttributeError: 'VTPyParticleSystem3' object has no attribute 'nothing'");
    EXPECT_EQ(Run("ps.Reset()", "len(w.__class__.__name__)"), "16");
    EXPECT_TRUE(w->ParticleSystems().empty());
}

// ---- sound items ----

class SoundItemTest : public ScriptWidgetTest {
protected:
    void SetUp() override
    {
        previous_ = Platform::SetSoundDevice(&device_);
        InitSoundSystem(0);
        ScriptWidgetTest::SetUp();
        const std::string path = temp_.File("loop.wav");
        TestSupport::WriteFileBytes(path, "RIFF-sample");
        Platform::XmlDocument document = CreateXmlDocument();
        const std::string xml = R"(<root><sounds><sound name="loop" group="game" loop="1" path=")" + path +
                                R"("/></sounds></root>)";
        ASSERT_TRUE(LoadXmlBytes(xml.data(), xml.size(), document));
        manager_.LoadFromXml(document.DocumentElement());
        manager_.LoadAllSamples();
        manager_.SetGroupVolume(80, "game");
        engine_.sounds = &manager_;
    }
    void TearDown() override
    {
        ScriptWidgetTest::TearDown();
        ShutdownSoundSystem();
        Platform::SetSoundDevice(previous_);
    }
    Platform::RecordingSoundDevice device_;
    Platform::SoundDevice* previous_ = nullptr;
    VTSoundManager manager_;
};

TEST_F(SoundItemTest, UnknownNamesAndAttributeWrites)
{
    EXPECT_EQ(Run("s = engine.CreateSound('missing')\ns.Play()\ns.FadePlay()\ns.Pause()\ns.Resume()\ns.Stop()\n"
                  "s.StopAndReset()",
                  "(type(s).__name__, s.play_active)"),
              "('SoundItem', 0)");
    EXPECT_EQ(Run("s.play_active = 1"), "AttributeError: 'SoundItem' object has no attribute 'play_active'");
    EXPECT_EQ(Run("s.Reset()\ns.Reset()\ns.Play()", "s.play_active"), "0");
    EXPECT_EQ(Eval("engine.CreateSound(5)"), "None");
}

TEST_F(SoundItemTest, StopFadesOutAndResetDuringAFadeRemovesTheWorker)
{
    EXPECT_EQ(Run("s = engine.CreateSound('loop')\ns.Play()", "s.play_active"), "1");
    const auto playing = device_.CallsNamed("Sample_PlayEx");
    ASSERT_EQ(playing.size(), 1u);
    EXPECT_EQ(Run("s.Stop()", "s.play_active"), "1") << "a fade, not a cut";
    device_.Tick(50);
    EXPECT_EQ(Eval("s.play_active"), "1");
    device_.Tick(50 * 19);
    EXPECT_EQ(Eval("s.play_active"), "0");

    EXPECT_EQ(Run("t = engine.CreateSound('loop')\nt.FadePlay()\nt.Reset()", "t.play_active"), "0");
    device_.Tick(25 * 40); // under ASan: the worker never reaches the freed instance
}
