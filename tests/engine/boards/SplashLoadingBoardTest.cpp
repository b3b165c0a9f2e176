// The splash and loading boards on the game's engine object, loaded from a fixture "cfg\ui.xml":
// pages shown in turn and skipped, pages held by their show effect, the black background, the
// custom cursor, the start-up worker started once, close requests during it, and the loading
// board's pictures.
#include "ScriptBoardFixture.h"

#include "engine/core/CursorManager.h"
#include "engine/effects/WidgetEffect.h"
#include "engine/scripting/GameScript.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "support/FontFixtures.h"

#include <thread>

using namespace ScriptBoardTest;

namespace {

// "fade" handles "onshow" and "onhide" without changing the visibility (the test ends the effect).
class HoldingEffect : public VTWidgetEffect {
public:
    void Update(float) override {}
    bool FireEvent(std::string_view name) override { return name == "onshow" || name == "onhide"; }
    bool SetValue(int32_t, void*) override { return true; }
    void SetTarget(VTIEffect* t) override { target = t; }
    VTIEffect* target = nullptr;
};

class SplashLoadingBoardTest : public ScriptBoardFixture {
protected:
    void SetUp() override
    {
        ScriptBoardFixture::SetUp();
        WritePng("data/red.png", 0xFFFF0000);
        WritePng("data/blue.png", 0xFF0000FF);
    }
    // The pages' effects are fakes, installed after Init put the effect catalogue's factory in place.
    void AfterEngineInit() override
    {
        SetWidgetEffectFactory([this](const std::string& name) -> std::unique_ptr<VTWidgetEffect> {
            if (name != "fade")
                return nullptr;
            auto effect = std::make_unique<HoldingEffect>();
            effects.push_back(effect.get());
            return effect;
        });
    }
    void TearDown() override
    {
        ScriptBoardFixture::TearDown();
        SetWidgetEffectFactory(nullptr);
    }
    void WritePng(const std::string& name, uint32_t colour)
    {
        const std::vector<uint8_t> png = TestSupport::PngBytes(4, 4, std::vector<uint32_t>(16, colour));
        Write(name, std::string(png.begin(), png.end()));
    }
    // pages: the splash's children, loading: the loading board's.
    void WriteUi(const std::string& pages, const std::string& loading = "")
    {
        Write("cfg/ui.xml", R"(<root><texture id="red" file="data\red.png"/><texture id="blue" file="data\blue.png"/>
            <element name="splash" type="vtdialog" width="1024" height="768">
              <texture id="normal" texture="red" width="1024" height="768"/>)" +
                                pages + R"(</element>
            <element name="load_screen" type="vtdialog" width="1024" height="768">)" +
                                loading + "</element></root>");
    }
    static std::string Page(const std::string& name, const char* texture, const char* extra = "")
    {
        return "<element name=\"" + name + "\" type=\"vtdialog\" width=\"4\" height=\"4\" " + extra + ">" +
               (texture ? std::string("<texture id=\"normal\" texture=\"") + texture + "\"/>" : std::string()) +
               "</element>";
    }
    VTBoard_Splash& Splash() { return *engine_->GetSplashBoard(); }
    std::vector<bool> PagesVisible()
    {
        std::vector<bool> shown;
        for (VTCandyWidget* page : Splash().Pages())
            shown.push_back(page->visible);
        return shown;
    }

    std::vector<HoldingEffect*> effects;
};

TEST_F(SplashLoadingBoardTest, PagesShowInTurnAndAnyKeyOrButtonSkipsOne)
{
    WriteUi(Page("one", "red") + Page("label", nullptr) + Page("two", "blue") + Page("three", "red"));
    Start();
    ASSERT_EQ(Splash().Pages().size(), 3u) << "a child without a picture is no page";
    EXPECT_FALSE(Splash().FindChild("label")->visible);
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{true, false, false})) << "showing the splash shows page 1";
    EXPECT_EQ(Manager().GetFocusWidget(), &Splash());

    Splash().Update();
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{true, false, false})) << "a visible page stays";
    Splash().KeyDown(32);
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, false, false}));
    Splash().Update();
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, true, false}));
    // A click on the page (a dialog) reaches the splash through the page's mouse handler.
    Splash().Pages()[1]->MouseDown(1, 1, 1, 1);
    Splash().Update();
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, false, true}));
    EXPECT_TRUE(Splash().visible);
    Splash().MouseDown(0, 0, 2, 1);
    Splash().Update();
    EXPECT_FALSE(Splash().visible) << "after the last page the splash hides";
    EXPECT_TRUE(Splash().StartupStarted());
    EXPECT_TRUE(engine_->GetLoadingBoard()->visible);
    EXPECT_EQ(launcher_.launched, Strings{"start-up worker"});
    launcher_.RunAll();
    EXPECT_EQ(Calls(), Strings{"InitGame"});
}

TEST_F(SplashLoadingBoardTest, APageIsNotPassedBeforeItsShowEffectMadeItVisible)
{
    WriteUi(Page("one", "red", "effect=\"fade\"") + Page("two", "blue"));
    Start();
    ASSERT_EQ(effects.size(), 1u);
    for (int i = 0; i < 5; ++i)
        Splash().Update();
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, false})) << "the show effect still runs";
    effects[0]->target->SetVisible(true); // the effect ends
    Splash().Update();
    effects[0]->target->SetVisible(false); // its hide part ends
    Splash().Update();
    EXPECT_EQ(PagesVisible(), (std::vector<bool>{false, true}));
}

TEST_F(SplashLoadingBoardTest, WithoutPicturesTheSplashHidesAtOnceAndStartsTheGameOnce)
{
    WriteUi(Page("label", nullptr) + Page("broken", "missing"));
    Start();
    EXPECT_TRUE(Splash().Pages().empty());
    Splash().Update();
    EXPECT_FALSE(Splash().visible);
    launcher_.RunAll();
    Splash().Show();
    Splash().Hide();
    Splash().Update();
    launcher_.RunAll();
    EXPECT_EQ(launcher_.launched.size(), 1u) << "the start-up worker starts at most once";
    EXPECT_EQ(Calls(), Strings{"InitGame"});
}

TEST_F(SplashLoadingBoardTest, DrawsOpaqueBlackWithoutItsBackground)
{
    WriteUi(Page("one", "red"));
    Start();
    Fw::MemoryImage image;
    image.Create(8, 8);
    image.Clear();
    Fw::Graphics g(&image);
    Splash().Draw(&g);
    for (int i = 0; i < 64; ++i)
        ASSERT_EQ(image.GetBits()[i], 0xFF000000u) << "pixel " << i;
}

TEST_F(SplashLoadingBoardTest, TheCustomCursorIsOffWhileTheSplashShows)
{
    WriteUi(Page("one", "red"));
    Start();
    VTCursorManager& cursor = engine_->GetCursorManager();
    EXPECT_FALSE(cursor.IsDrawingEnabled());
    Splash().SkipPage();
    Splash().Update();
    EXPECT_TRUE(cursor.IsDrawingEnabled());
    EXPECT_EQ(Manager().GetFocusWidget(), engine_->GetLoadingBoard());
}

TEST_F(SplashLoadingBoardTest, ACloseRequestDuringTheStartUpWorkerIsDroppedForGood)
{
    WriteUi("");
    Start();
    Splash().Update();
    ASSERT_EQ(launcher_.Waiting(), 1u);
    engine_->Shutdown();
    launcher_.RunAll();
    EXPECT_FALSE(gScriptLoadBusy);
    engine_->StepBoards();
    EXPECT_EQ(Calls(true), Strings{"InitGame"}) << "no Shutdown then or after the worker ended";
    engine_->Shutdown();
    EXPECT_EQ(Calls(), Strings{"Shutdown"});
}

TEST_F(SplashLoadingBoardTest, NoSplashKeepsNoChildren)
{
    WriteUi(Page("one", "red"));
    gDebugSettings->noSplash = true;
    Start();
    gDebugSettings->noSplash = false;
    EXPECT_TRUE(Splash().Pages().empty());
    EXPECT_EQ(Splash().FindChild("one"), nullptr);
}

TEST_F(SplashLoadingBoardTest, LoadingBoardShowsTheSelectedPictureOnly)
{
    WriteUi("", Page("a", "red", "visible=\"1\"") + Page("b", "blue") + Page("plain", nullptr) +
                    Page("broken", "missing"));
    Start();
    VTBoard_LoadScreen& loading = *engine_->GetLoadingBoard();
    VTCandyWidget* a = loading.FindPicture("a");
    VTCandyWidget* b = loading.FindPicture("b");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(loading.FindPicture("plain"), nullptr);
    EXPECT_EQ(loading.FindPicture("broken"), nullptr) << "a frame without an image is no picture";
    EXPECT_TRUE(a->visible) << "registration hides nothing";

    loading.SelectPicture("b");
    EXPECT_TRUE(b->visible);
    EXPECT_FALSE(a->visible);
    loading.SelectPicture("b");
    EXPECT_TRUE(b->visible);
    loading.SelectPicture("nothing");
    EXPECT_TRUE(b->visible) << "an unknown name changes nothing";
    EXPECT_FALSE(a->visible);
    loading.SelectPicture("plain");
    EXPECT_TRUE(b->visible);
}

using SplashLoadingBoardThreads = SplashLoadingBoardTest;

TEST_F(SplashLoadingBoardThreads, APictureChosenOnTheStartUpWorkerShowsAtTheNextStep)
{
    WriteUi("", Page("a", "red", "visible=\"1\"") + Page("b", "blue"));
    Start();
    VTBoard_LoadScreen& loading = *engine_->GetLoadingBoard();
    std::thread worker([&] { loading.SelectPicture("b"); });
    worker.join();
    EXPECT_FALSE(loading.FindPicture("b")->visible) << "the widgets are the main thread's";
    engine_->ApplyDeferredCursorCalls();
    EXPECT_TRUE(loading.FindPicture("b")->visible);
    EXPECT_FALSE(loading.FindPicture("a")->visible);
}

} // namespace
