// Script twins of widgets, particle systems and sound items as scripts see them: attributes, the
// per-frame update_fn, changes to the tree from inside the walk, the engine object's widget methods,
// mouse_widget and sound items. The engine is a fake over a real widget manager, game board widget,
// texture catalogue and, for sounds, the recording sound device.
#include "ScriptTestSupport.h"

#include "engine/core/FrameSeconds.h"
#include "engine/core/ImageCache.h"
#include "engine/core/SoundManager.h"
#include "engine/core/SoundSystem.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "engine/scripting/CandyWidget3.h"
#include "engine/scripting/CheckBox3.h"
#include "engine/scripting/EditWidget3.h"
#include "engine/scripting/EngineServices.h"
#include "engine/scripting/GameScript.h"
#include "engine/scripting/GilGuard.h"
#include "engine/scripting/ParticleSystem3.h"
#include "engine/scripting/List3.h"
#include "engine/scripting/ScriptWidgetTree.h"
#include "engine/widgets/ScrollBar.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "engine/scripting/Slider3.h"
#include "engine/widgets/Bar.h"
#include "engine/scripting/Text3.h"
#include "framework/widgets/WidgetManager.h"
#include "platform/fake/RecordingSoundDevice.h"
#include "support/FakeImageServices.h"
#include "support/FakeWidgetServices.h"

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
        const bool interpreterRuns = gExtPythonManager != nullptr; // a test may have ended it
        if (interpreterRuns)
            Run("for name in list(globals()):\n    if not name.startswith('__') and name != 'engine':\n"
                "        globals()[name] = None");
        engine_.board.RemoveAllWidgets(true, false); // the board owns what scripts put on it
        engine_.manager.RemoveWidget(&engine_.board);
        gFrameSeconds = 0.0f;
        if (interpreterRuns) {
            GilGuard gil;
            Py_CLEAR(globals_);
        }
        globals_ = nullptr;
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
    template <class W = VTCandyWidget3>
    W* Widget(const std::string& name)
    {
        GilGuard gil;
        PyObject* twin = PyDict_GetItemString(globals_, name.c_str());
        return dynamic_cast<W*>(TwinBrother(twin));
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

TEST_F(ScriptWidgetTest, EachDrawCountsForTheDebugTitleWithItsArea)
{
    Run("a = engine.CreateWidget(Owner(), None)\na.width = 40\na.height = 30\n"
        "b = engine.CreateWidget(Owner(), None)\nb.width = 10\nb.height = 10");
    gScriptPerf.widgetDraws = 0;
    gScriptPerf.pixelsDrawn = 0.0f;
    Fw::MemoryImage canvas;
    canvas.Create(64, 64);
    Fw::Graphics g(&canvas);
    Widget("a")->Draw(&g);
    Widget("b")->Draw(&g);
    Widget("a")->Draw(&g);
    EXPECT_EQ(gScriptPerf.widgetDraws.load(), 3u);
    EXPECT_FLOAT_EQ(gScriptPerf.pixelsDrawn.load(), 2 * 40 * 30 + 10 * 10);
    gScriptPerf.widgetDraws = 0;
    gScriptPerf.pixelsDrawn = 0.0f;
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

// ---- the widget classes ----

class ClassTwinTest : public ScriptWidgetTest {
protected:
    TestSupport::FakeWidgetServices services_;
};

TEST_F(ClassTwinTest, TextLabelHeightAndStyles)
{
    services_.texts.SetText("HELLO", L"one two three");
    ASSERT_EQ(Run("t = engine.CreateText(Owner(), None)", "(type(t).__name__, t.text_height)"), "('VTPyText3', 0)")
        << "no label and no font: height 0";
    VTText3* t = Widget<VTText3>("t");
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->flagsMod.removeFlags & Fw::WidgetFlags::AllowMouse, Fw::WidgetFlags::AllowMouse);
    EXPECT_EQ(Run("t.label = 'HELLO'\nt.width = 70", "t.text_height"), "0") << "a label without a font";
    EXPECT_EQ(t->GetLabel(), L"one two three");
    EXPECT_EQ(Run("t.label = 5"), "None") << "not a key: the label stays";
    EXPECT_EQ(t->GetLabel(), L"one two three");

    // normal, stroke and shadow reach attributes 2, 1 and 0; colours are [a, r, g, b].
    const std::string longName(300, 'f');
    EXPECT_EQ(Run("t.styles = {'normal': {'font': 'block', 'color': [255, 1, 2, 3]},"
                  " 'stroke': {'color': [128, 9, 9, 9], 'dcolor': None}, 'shadow': {'font': '" + longName + "'},"
                  " 'other': {'font': 'block'}}"),
              "None");
    EXPECT_EQ(t->GetTextAttr(2).font, &services_.font);
    EXPECT_EQ(t->GetTextAttr(2).color.red, 1);
    EXPECT_EQ(t->GetTextAttr(2).color.blue, 3);
    EXPECT_EQ(t->GetTextAttr(1).font, nullptr) << "no font entry: the font of the empty name";
    EXPECT_EQ(t->GetTextAttr(1).color.alpha, 128);
    EXPECT_EQ(t->GetTextAttr(1).disabledColor.alpha, 255) << "None: opaque white";
    EXPECT_EQ(t->GetTextAttr(0).color.green, 255) << "a long font name is only a name";
    // 70 pixels hold 8 characters: "one two" and "three" on two lines of the font's height.
    EXPECT_EQ(Eval("t.text_height"), "20");
    EXPECT_EQ(Run("t.justify = 1\nt.valign = 0\nt.hoffset = 4\nt.line_spacing = 12", "t.text_height"), "22");
    EXPECT_EQ(t->justification, 1);
    EXPECT_EQ(t->labelOffsetY, 4);
    EXPECT_EQ(Eval("t.AddWidget"), "AttributeError: 'VTPyText3' object has no attribute 'AddWidget'")
        << "only the plain script widget takes children";
    EXPECT_EQ(Run("t.Reset()\nt.Reset()", "t.Reset()"), "None");
}

TEST_F(ClassTwinTest, EditBoxTextStylesAndKeys)
{
    ASSERT_EQ(Run("e = engine.CreateEdit(Owner(), None)", "(type(e).__name__, e.text)"), "('VTPyEditWidget3', '')");
    VTEditWidget3* e = Widget<VTEditWidget3>("e");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(Run("e.text = 'abc'\ne.text = 5", "e.text"), "'abc'") << "only text replaces the text";
    EXPECT_EQ(e->GetCaret(), 0);

    // An edit box takes its stroke from "normal"; a text from "stroke".
    const std::string styles = "{'normal': {'font': 'block', 'color': [255, 1, 0, 0], 'hcolor': [255, 0, 2, 0]},"
                               " 'stroke': {'color': [255, 7, 7, 7]}, 'shadow': {'color': [255, 0, 0, 3]}}";
    EXPECT_EQ(Run("e.styles = " + styles + "\nt = engine.CreateText(Owner(), None)\nt.styles = " + styles), "None");
    VTText3* t = Widget<VTText3>("t");
    EXPECT_EQ(e->GetTextAttr(1).font, &services_.font);
    EXPECT_EQ(e->GetTextAttr(1).color.red, 1);
    EXPECT_EQ(e->GetTextAttr(1).hoverColor.green, 2);
    EXPECT_EQ(t->GetTextAttr(1).font, nullptr);
    EXPECT_EQ(t->GetTextAttr(1).color.red, 7);
    EXPECT_EQ(e->GetTextAttr(0).color.blue, 3);
    EXPECT_EQ(t->GetTextAttr(0).color.blue, 3);
    EXPECT_EQ(Run("e.hilight_background = [255, 10, 20, 30]"), "None");
    EXPECT_EQ(e->highlightColor.green, 20);

    // on_key_enter hears every key with its name, after the edit box handled it.
    Run("e.visible = 1\nengine.AddWidget(e, 'e')\ne.GotFocus()\n"
        "Owner.on_key_enter = lambda self, key: log.append((key, e.text))");
    EXPECT_EQ(engine_.manager.GetFocusWidget(), e);
    engine_.manager.KeyDown(35); // END
    engine_.manager.KeyDown(8);  // BACK
    engine_.manager.KeyDown(13); // RETURN
    engine_.manager.KeyDown(65);
    EXPECT_EQ(Eval("log"), "[('END', 'abc'), ('BACK', 'ab'), ('RETURN', 'ab'), ('A', 'ab')]");
    Run("Owner.on_key_enter = lambda self, key: e.Reset()");
    engine_.manager.KeyDown(65); // under ASan: the reset waits until the key is handled
    EXPECT_EQ(Eval("e.text"), "AttributeError: 'VTPyEditWidget3' object has no attribute 'text'");
    EXPECT_TRUE(engine_.board.GetChildren().empty());
    Run("del Owner.on_key_enter\nf = engine.CreateEdit(Owner(), None)\nf.visible = 1\nengine.AddWidget(f, 'f')\n"
        "f.GotFocus()");
    engine_.manager.KeyDown(65); // no hook: nothing called
    EXPECT_EQ(Run("f.LostFocus()", "len(log)"), "4");
    EXPECT_EQ(engine_.manager.GetFocusWidget(), &engine_.board);
}

TEST_F(ClassTwinTest, SliderValueAsAFractionOfTheTrack)
{
    engine_.images.Add("knob", 20, 20, std::vector<uint32_t>(400, 0xFF000000));
    engine_.images.Add("fill", 100, 4, std::vector<uint32_t>(400, 0xFF000000));
    ASSERT_EQ(Run("s = engine.CreateSlider(Owner(), None)\ns.width = 120\ns.height = 20\ns.value = 0.5",
                  "(type(s).__name__, s.value)"),
              "('VTPySlider3', 0.0)")
        << "before MakeBar the value stays at the start";
    VTSlider3* s = Widget<VTSlider3>("s");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->GetBar(), nullptr);
    Run("s.fill_image = ('fill', 0, 0, 100, 4)\ns.empty_image = ('knob', 0, 0, 20, 20)\ns.empty_image = 'bad'\n"
        "s.MakeBar()");
    ASSERT_NE(s->GetBar(), nullptr);
    EXPECT_EQ(s->GetBar()->EmptyTexture().width, 20) << "a value that is no record is ignored";
    EXPECT_EQ(s->GetBar()->width, 120);
    EXPECT_EQ(s->GetMaximum(), 120);
    EXPECT_EQ(s->zoneWidth, 120);

    // The track runs from 10 to 110 (half a thumb from each end).
    struct Case { const char* value; int32_t expected; };
    const Case cases[] = {{"0.0", 10}, {"0.25", 35}, {"1.0", 110}, {"1.5", 110}, {"-0.1", 110}, {"'x'", 110}};
    for (const Case& c : cases) {
        EXPECT_EQ(Run(std::string("s.value = ") + c.value), "None");
        EXPECT_EQ(s->GetValue(), c.expected) << c.value;
    }
    EXPECT_EQ(Run("s.value = 0.25", "s.value"), "0.25");

    s->SetValueAtPoint(5, 5);
    EXPECT_EQ(s->GetValue(), 10) << "before the track: its start";
    s->SetValueAtPoint(60, 5);
    EXPECT_EQ(s->GetValue(), 60);
    s->SetValueAtPoint(118, 5);
    EXPECT_EQ(s->GetValue(), 110);
    s->SetValueAtPoint(60, 30);
    EXPECT_EQ(s->GetValue(), 110) << "outside the mouse zone: nothing";
    s->MouseDrag(35, 10);
    EXPECT_EQ(s->GetValue(), 35);

    // The bar: the fill along the track below the middle, the thumb (the empty image) at the value.
    engine_.images.Add("red", 20, 20, std::vector<uint32_t>(400, 0xFFFF0000));
    engine_.images.Add("green", 100, 4, std::vector<uint32_t>(400, 0xFF00FF00));
    Run("t = engine.CreateSlider(Owner(), None)\nt.width = 120\nt.height = 20\n"
        "t.fill_image = ('green', 0, 0, 100, 4)\nt.empty_image = ('red', 0, 0, 20, 20)\nt.MakeBar()\n"
        "t.visible = 1\nt.value = 0.5");
    VTSlider3* t = Widget<VTSlider3>("t");
    ASSERT_EQ(t->GetValue(), 60);
    Fw::MemoryImage canvas;
    canvas.Create(130, 30);
    Fw::Graphics g(&canvas);
    t->GetBar()->Draw(&g);
    const uint32_t* px = canvas.GetBits();
    // The colour a pixel mostly is: 0xFF0000 red, 0x00FF00 green, 0 none.
    auto at = [px](int x, int y) {
        const uint32_t c = px[y * 130 + x];
        return (((c >> 16) & 0xFF) > 128 ? 0xFF0000u : 0u) | (((c >> 8) & 0xFF) > 128 ? 0x00FF00u : 0u);
    };
    EXPECT_EQ(at(12, 12), 0x00FF00u) << "fill from x 10 at y 11";
    EXPECT_EQ(at(105, 14), 0x00FF00u);
    EXPECT_EQ(at(12, 16), 0u) << "fill is 4 rows high";
    EXPECT_EQ(at(55, 2), 0xFF0000u) << "thumb from value - 10";
    EXPECT_EQ(at(69, 19), 0xFF0000u);
    EXPECT_EQ(at(75, 2), 0u);
}

TEST_F(ClassTwinTest, ListLinesPositionsAndUpdatePos)
{
    ASSERT_EQ(Run("l = engine.CreateListbox(Owner(), None)\nl.width = 100\nl.height = 35",
                  "(type(l).__name__, l.page_max, l.items_count)"),
              "('VTPyList3', 0, 0)")
        << "no line height yet: no page";
    VTList3* l = Widget<VTList3>("l");
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(Run("l.font = 'block'\nfor i in range(6):\n    l.AddLine('line %d' % i)\nl.AddLine(5)",
                  "(l.page_max, l.items_count)"),
              "(3, 6)")
        << "the font's height is the line height";
    EXPECT_EQ(l->GetTextAttr(1).font, &services_.font);
    EXPECT_EQ(Run("l.line_spacing = 5\nl.text_color = [255, 1, 2, 3]\nl.text_color_sh = [255, 4, 5, 6]\n"
                  "l.sel_color = [255, 7, 8, 9]\nl.left_indent = 3\nl.img_check_offset = 2\nl.scrollbar_offset = 4",
                  "l.page_max"),
              "7");
    EXPECT_EQ(l->GetTextAttr(2).color.red, 1);
    EXPECT_EQ(l->GetTextAttr(1).color.green, 2);
    EXPECT_EQ(l->GetTextAttr(0).color.blue, 6);
    EXPECT_EQ(l->GetTextAttr(0).font, nullptr);
    EXPECT_EQ(l->selectionColor.red, 7);
    EXPECT_EQ(l->textX + l->checkX + l->scrollBarOffsetX, 9);
    EXPECT_EQ(Run("l.btn_down_over = ('arrow', 1, 2, 3, 4)\nl.btn_scroll_gray = ('thumb', 0, 0, 8, 8)\n"
                  "l.btn_up_bad = ('x', 0, 0, 0, 0)"),
              "AttributeError: 'VTPyList3' object has no attribute 'btn_up_bad'");
    EXPECT_EQ(l->scrollFrames[VTList::kScrollDown][1].image, "arrow");
    EXPECT_EQ(l->scrollFrames[VTList::kScrollDown][1].height, 4);
    EXPECT_EQ(l->scrollFrames[VTList::kScrollSlider][3].image, "thumb");

    // update_pos after every redraw of the lines, and only then.
    Run("Owner.update_pos = lambda self: log.append((l.page_pos, l.selected_item, l.active_item))\n"
        "l.line_spacing = 10\nl.selected_item = 4\nl.active_item = 2\nl.page_pos = 1");
    Fw::MemoryImage canvas;
    canvas.Create(200, 100);
    Fw::Graphics g(&canvas);
    l->Draw(&g);
    l->Draw(&g);
    EXPECT_EQ(Eval("log"), "[(1, 4, 2)]");
    Run("l.MakeScrollbar()\nl.page_pos = 2");
    ASSERT_NE(l->GetScrollBar(), nullptr);
    EXPECT_EQ(l->GetScrollBar()->position, 2) << "the scroll bar follows";
    l->Draw(&g);
    Run("l.Clear()\nl.active_item = 0\nOwner.update_pos = lambda self: l.Reset()");
    EXPECT_EQ(Eval("(l.items_count, log[-1])"), "(0, (2, 4, 2))");
    l->Draw(&g); // under ASan: the reset waits until the draw is done
    EXPECT_EQ(Eval("l.items_count"), "AttributeError: 'VTPyList3' object has no attribute 'items_count'");
    Run("del Owner.update_pos\nm = engine.CreateListbox(Owner(), None)\nm.width = 10\nm.height = 10");
    Widget<VTList3>("m")->Draw(&g); // no update_pos: nothing called
    EXPECT_EQ(Eval("len(log)"), "2");
}

TEST_F(ClassTwinTest, CheckBoxFacesAndCheckedFlag)
{
    engine_.images.Add("box", 16, 16, std::vector<uint32_t>(256, 0xFF000000));
    ASSERT_EQ(Run("c = engine.CreateCheckbox(Owner(), None)", "(type(c).__name__, c.checked)"), "('VTPyCheckBox3', 0)");
    VTCheckBox3* c = Widget<VTCheckBox3>("c");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->GetTextures().size(), 6u) << "six empty faces from the start";
    EXPECT_EQ(Run("c.tex_norm = ('box', 0, 0, 16, 16)\nc.tex_over_checked = ('box', 1, 2, 8, 8)\n"
                  "c.tex_disabled = ('box',)\nc.PrepareTextures()\nc.PrepareTextures()"),
              "None");
    EXPECT_EQ(c->GetTextures().size(), 6u) << "the faces are prepared in place";
    EXPECT_EQ(c->GetFace(false, VTCheckBox::kNormal)->width, 16);
    EXPECT_EQ(c->GetFace(true, VTCheckBox::kOver)->u, 1);
    EXPECT_EQ(c->GetFace(true, VTCheckBox::kOver)->height, 8);
    EXPECT_EQ(c->GetFace(false, VTCheckBox::kDisabled)->width, 0) << "a short tuple is no record";

    engine_.manager.UpdateFrame();
    c->dirty = false;
    EXPECT_EQ(Run("c.checked = 5\nc.r = 0.5\nc.g = 0.25\nc.b = 2", "c.checked"), "1");
    EXPECT_FALSE(c->dirty) << "no redraw request of its own";
    EXPECT_FLOAT_EQ(c->tintR, 0.5f);
    EXPECT_FLOAT_EQ(c->tintB, 2.0f);
    EXPECT_EQ(Run("c.checked = 0", "c.checked"), "0");
}

TEST_F(ClassTwinTest, EveryClassIsAParentAndAMaskButTakesNoChildren)
{
    struct Case { const char* create; const char* type; };
    const Case cases[] = {{"CreateText", "VTPyText3"}, {"CreateEdit", "VTPyEditWidget3"},
                          {"CreateListbox", "VTPyList3"}, {"CreateCheckbox", "VTPyCheckBox3"},
                          {"CreateSlider", "VTPySlider3"}};
    for (const auto& [create, type] : cases) {
        const std::string make = std::string("p = engine.") + create + "(Owner(), None)\n"
                                 "k = engine.CreateWidget(Owner(), p)\nw = engine.CreateWidget(Owner(), None)\n"
                                 "w.SetMaskWidget(p)\nw.AddWidget(p, 'p')";
        EXPECT_EQ(Run(make, "p.no_such"), std::string("AttributeError: '") + type + "' object has no attribute 'no_such'");
        EXPECT_EQ(Eval("hasattr(p, 'AddWidget')"), "False") << create;
        EXPECT_EQ(Widget("k")->GetEngineParent(), Widget<VTCandyWidget>("p")) << create;
        EXPECT_EQ(Widget("w")->GetMaskWidget(), Widget<VTCandyWidget>("p")) << create;
        EXPECT_EQ(Widget<VTCandyWidget>("p")->GetParent(), Widget("w")) << create;
        Run("k.Reset()\nw.Reset()");
    }
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

TEST_F(SoundItemTest, WhatTheScriptNeverResetsEndsWithTheInterpreter)
{
    // A game that leaves its particle systems and sound items alone: the interpreter's end destroys
    // them (the system leaves its owner's list; the fading sound's instance goes, which stops its
    // channel), as Reset would have.
    Run("w = engine.CreateWidget(Owner(), None)\nengine.AddWidget(w, 'fx')\nps = w.CreatePS('spark')\nps.Play()\n"
        "s = engine.CreateSound('loop')\ns.Play()\ns.Stop()");
    VTCandyWidget3* owner = Widget("w");
    ASSERT_EQ(owner->ParticleSystems().size(), 1u);
    ASSERT_TRUE(device_.CallsNamed("Channel_Stop").empty());
    delete gGameScript;
    gGameScript = nullptr;
    DestroyInterpreter();
    EXPECT_TRUE(owner->ParticleSystems().empty());
    EXPECT_EQ(device_.CallsNamed("Channel_Stop").size(), 1u);
}
