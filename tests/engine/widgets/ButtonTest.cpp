// Buttons: the state-texture choice, skin colours and text attributes, listener events and sounds,
// the label picture, and the ids of buttons made from skins.
#include "engine/core/Texture.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/Dialog.h"
#include "framework/widgets/ButtonListener.h"
#include "framework/widgets/WidgetManager.h"

#include "WidgetTestSupport.h"

#include <set>
#include <sstream>

namespace {

using WidgetTest::ParseXml;

class RecordingListener : public Fw::ButtonListener {
public:
    void ButtonDown(int32_t id, int32_t clicks) override { Log("down", id, clicks); }
    void ButtonClicked(int32_t id) override { Log("clicked", id); }
    void ButtonHeldTick(int32_t id) override { Log("held", id); }
    void ButtonMouseEnter(int32_t id) override { Log("enter", id); }
    void ButtonMouseLeave(int32_t id) override { Log("leave", id); }
    void ButtonMouseMove(int32_t id, int32_t x, int32_t y) override { Log("move", id, x, y); }
    std::vector<std::string> log;

private:
    template <class... A> void Log(const char* what, A... args)
    {
        std::ostringstream s;
        s << what;
        ((s << ' ' << args), ...);
        log.push_back(s.str());
    }
};

class ButtonTest : public WidgetTest::Fixture {
protected:
    std::unique_ptr<VTButton> Make(const std::string& xml, int32_t id = 7)
    {
        doc = ParseXml(xml);
        auto button = std::make_unique<VTButton>(nullptr, id, &listener);
        button->LoadFromXml(doc.SelectSingleNode("element"), &app);
        return button;
    }
    Platform::XmlDocument doc;
    RecordingListener listener;
};

// Which state textures are enabled: N normal, O over, D down, X disabled.
std::string Enabled(const VTButton& b)
{
    std::string s;
    const char* names = "NODX";
    for (int32_t id = 0; id < 4; ++id)
        if (VTTexture* t = b.GetTexture(id, 0); t && t->enabled)
            s += names[id];
    return s;
}

struct StateCase {
    const char* over; // "" none, "normal", "additive"
    bool withDown;
    const char* state; // idle, hover, down, disabled
    const char* expected;
};

constexpr StateCase kStates[] = {
    {"", false, "idle", "N"},           {"", false, "hover", "N"},
    {"", false, "down", "N"},           {"", false, "disabled", "X"},
    {"normal", false, "idle", "N"},     {"normal", false, "hover", "O"},
    {"normal", false, "down", "O"},     {"normal", false, "disabled", "X"},
    {"additive", false, "idle", "N"},   {"additive", false, "hover", "NO"},
    {"additive", false, "down", "N"},   {"additive", false, "disabled", "X"},
    {"normal", true, "down", "D"},      {"additive", true, "down", "D"},
    {"", true, "hover", "N"},
};

TEST_F(ButtonTest, StateTextureTable)
{
    for (const StateCase& c : kStates) {
        std::string xml = "<element width='40' height='20'><texture id='normal' texture='grey'/>"
                          "<texture id='disabled' texture='blue'/>";
        if (*c.over)
            xml += std::string("<texture id='over' texture='green' mode='") + c.over + "'/>";
        if (c.withDown)
            xml += "<texture id='down' texture='red'/>";
        auto b = Make(xml + "</element>");
        const std::string state = c.state;
        b->isOver = state == "hover" || state == "down";
        b->isDown = state == "down";
        b->disabled = state == "disabled";
        b->Update();
        EXPECT_EQ(Enabled(*b), c.expected) << "over '" << c.over << "' down " << c.withDown << " " << state;
    }
}

TEST_F(ButtonTest, OnlyANormalTextureShowsInEveryEnabledStateAndNothingWhileDisabled)
{
    auto b = Make("<element width='40' height='20'><texture id='normal' texture='grey'/></element>");
    for (int state = 0; state < 3; ++state) {
        b->isOver = state >= 1;
        b->isDown = state == 2;
        b->Update();
        EXPECT_EQ(Enabled(*b), "N") << state;
    }
    b->disabled = true;
    b->Update();
    EXPECT_EQ(Enabled(*b), "");
}

TEST_F(ButtonTest, IdleRewindsTheOverAnimation)
{
    services.AddImage("glow00", 8, 8, 0xFF00FF00);
    services.AddImage("glow01", 8, 8, 0xFF00FF00);
    auto b = Make("<element width='40' height='20'><texture id='normal' texture='grey'/>"
                  "<texture id='over' texture='glow' fps='10' count='2' oneshot='0'/></element>");
    VTTexture* over = b->GetTexture(VTButton::kOver, 0);
    b->isOver = true;
    b->Update(); // 100 ms at 10 fps: one frame on
    EXPECT_EQ(over->currentFrame, 1);
    b->isOver = false;
    b->Update();
    EXPECT_EQ(over->currentFrame, 0) << "the next hover starts from the first frame";
}

struct ColorCase {
    const char* text;
    uint32_t expected;
};

constexpr ColorCase kColors[] = {
    {"ffffff", 0x00FFFFFF},   {"ffffffff", 0xFFFFFFFF}, {"80ff0000", 0x80FF0000}, {"0xff102030", 0xFF102030},
    {"  ff00ff00", 0xFF00FF00}, {"", 0},                 {"zz", 0},                {"12zz", 0x12},
    {"1ffffffff", 0xFFFFFFFF}, {"0x", 0},
};

TEST(SkinColor, UnsignedHexAsAARRGGBB)
{
    for (const ColorCase& c : kColors)
        EXPECT_EQ(ParseSkinColor(c.text).ToInt(), c.expected) << '"' << c.text << '"';
}

TEST_F(ButtonTest, TextAttributesFromTheSkin)
{
    auto b = Make("<element width='40' height='20'>"
                  "<textattr id='normal' color='ff112233' font='block'/>"
                  "<textattr id='stroke' color='ff000000' hcolor='ff010101' dcolor='80808080' font='nosuch'/>"
                  "<textattr id='shadow' font='block'/><textattr id='other' color='ffffffff' font='block'/>"
                  "</element>");
    const VTTextAttr& normal = b->GetTextAttr(kTextAttrNormal);
    EXPECT_EQ(normal.font, &services.font);
    EXPECT_EQ(normal.color.ToInt(), 0xFF112233u);
    EXPECT_EQ(normal.hoverColor, normal.color) << "hcolor absent: color";
    EXPECT_EQ(normal.disabledColor, normal.color) << "dcolor absent: color";
    const VTTextAttr& stroke = b->GetTextAttr(kTextAttrStroke);
    EXPECT_EQ(stroke.font, nullptr) << "a font the catalogue lacks";
    EXPECT_EQ(stroke.hoverColor.ToInt(), 0xFF010101u);
    EXPECT_EQ(stroke.disabledColor.ToInt(), 0x80808080u);
    EXPECT_EQ(b->GetTextAttr(kTextAttrShadow).color, Fw::Color::Black) << "no color: opaque black";

    b->SetTextAttr(3, &services.font, Fw::Color::White, Fw::Color::White, Fw::Color::White);
    b->SetTextAttr(-1, &services.font, Fw::Color::White, Fw::Color::White, Fw::Color::White);
    EXPECT_EQ(b->GetTextAttr(kTextAttrShadow).color, Fw::Color::Black) << "indices outside 0..2 are ignored";
}

TEST_F(ButtonTest, PressesReleasesAndHoverReachTheListenerWithSounds)
{
    auto b = Make("<element width='40' height='20' snd_hover='hov' snd_click='clk'/>");
    b->MouseEnter();
    b->MouseMove(3, 4);
    b->MouseDown(3, 4, 0, 2);
    b->isOver = true;
    b->isDown = true;
    b->Update();
    b->MouseUp(3, 4, 0, 1);
    b->MouseLeave();
    EXPECT_EQ(listener.log,
              (std::vector<std::string>{"enter 7", "move 7 3 4", "down 7 2", "held 7", "clicked 7", "leave 7"}));
    EXPECT_EQ(services.sounds, (std::vector<std::string>{"hov", "clk"}));
}

TEST_F(ButtonTest, ADisabledPressReportsNothingAndPlaysNothing)
{
    auto b = Make("<element width='40' height='20' snd_click='clk'/>");
    b->disabled = true;
    b->MouseDown(1, 1, 0, 1);
    EXPECT_TRUE(listener.log.empty());
    EXPECT_TRUE(services.sounds.empty());
}

TEST_F(ButtonTest, AReleaseOffTheButtonIsNoClick)
{
    auto b = Make("<element width='40' height='20'/>");
    b->isOver = false;
    b->MouseUp(50, 1, 0, 1);
    EXPECT_TRUE(listener.log.empty());

    // Over the button but the application lost the focus: no click either.
    Fw::WidgetManager& manager = *app.widgetManager;
    manager.AddWidget(b.get());
    manager.LostFocus();
    b->isOver = true;
    b->MouseUp(1, 1, 0, 1);
    EXPECT_TRUE(listener.log.empty());
    manager.GotFocus();
    b->MouseUp(1, 1, 0, 1);
    EXPECT_EQ(listener.log, (std::vector<std::string>{"clicked 7"}));
    manager.RemoveWidget(b.get());
}

struct LabelCase {
    const char* what;
    const char* attrs;
    int32_t x, y; // where the block font drew the label's first pass
};

// A 80 x 30 button, the label "ab" (16 wide, one 10-high line).
const LabelCase kLabels[] = {
    {"centred both ways by default", "", 32, 18},
    {"justify 1 right-aligns", "justify='1'", 64, 18},
    {"justify 2 left-aligns", "justify='2'", 0, 18},
    {"justify -1 left-aligns", "justify='-1'", 0, 18},
    {"valign 1 bottom", "valign='1'", 32, 28},
    {"valign 2 top, moved by hoffset", "valign='2' hoffset='5'", 32, 13},
};

TEST_F(ButtonTest, LabelPlacement)
{
    services.texts.SetText("key_ab", L"ab");
    for (const LabelCase& c : kLabels) {
        services.font.drawn.clear();
        auto b = Make(std::string("<element width='80' height='30' label='key_ab' ") + c.attrs +
                      "><textattr id='normal' color='ffffffff' font='block'/></element>");
        EXPECT_EQ(b->GetLabel(), L"ab");
        WidgetTest::Canvas canvas(100, 40);
        Fw::Graphics g(&canvas.image);
        b->Draw(&g);
        ASSERT_EQ(services.font.drawn.size(), 1u) << c.what;
        EXPECT_EQ(services.font.drawn[0].x, c.x) << c.what;
        EXPECT_EQ(services.font.drawn[0].y, c.y) << c.what;
    }
}

TEST_F(ButtonTest, LabelPictureIsCachedAndRebuiltAfterChanges)
{
    services.texts.SetText("k", L"ok");
    auto b = Make("<element width='40' height='20' label='k'><textattr id='normal' color='ffffffff' font='block'/>"
                  "<textattr id='shadow' color='ff000000' font='block'/></element>");
    WidgetTest::Canvas canvas(64, 32);
    Fw::Graphics g(&canvas.image);
    b->Draw(&g);
    ASSERT_EQ(services.font.drawn.size(), 2u) << "shadow, then normal";
    EXPECT_EQ(services.font.drawn[0].color, Fw::Color::Black);
    EXPECT_EQ(services.font.drawn[1].color, Fw::Color::White);
    b->Draw(&g);
    EXPECT_EQ(services.font.drawn.size(), 2u) << "drawn again from the cache";
    b->SetTextAttr(kTextAttrNormal, &services.font, Fw::Color(1, 2, 3), Fw::Color(1, 2, 3), Fw::Color(1, 2, 3));
    b->Draw(&g);
    EXPECT_EQ(services.font.drawn.size(), 2u) << "text attributes alone keep the cache";
    b->Resize(0, 0, 48, 20);
    b->Draw(&g);
    EXPECT_EQ(services.font.drawn.size(), 4u) << "a new size rebuilds it";
    EXPECT_EQ(b->GetLabelImage()->GetWidth(), 48);
    b->MouseEnter();
    b->Draw(&g);
    EXPECT_EQ(services.font.drawn.size(), 6u);

    b->SetLabel(L"");
    b->Draw(&g);
    EXPECT_EQ(services.font.drawn.size(), 6u);
    auto empty = Make("<element width='40' height='20'><textattr id='normal' font='block'/></element>");
    empty->Draw(&g);
    EXPECT_EQ(empty->GetLabelImage(), nullptr) << "an empty label makes no picture";
}

TEST_F(ButtonTest, SkinButtonsGetDistinctIdsAndReportToTheirDialog)
{
    auto d = ParseXml("<element x='0' y='0' width='200' height='100'>"
                      "<element type='vtbutton' name='a' width='10' height='10'/>"
                      "<element type='vtbutton' name='b' width='10' height='10'/></element>");
    VTDialog first(nullptr, &app), second(nullptr, &app);
    first.LoadFromXml(d.SelectSingleNode("element"));
    second.LoadFromXml(d.SelectSingleNode("element"));
    std::set<int32_t> ids;
    for (VTDialog* dialog : {&first, &second})
        for (const char* name : {"a", "b"}) {
            auto* button = dynamic_cast<VTButton*>(dialog->FindChild(name));
            ASSERT_NE(button, nullptr);
            EXPECT_GT(button->GetId(), 0);
            ids.insert(button->GetId());
        }
    EXPECT_EQ(ids.size(), 4u) << "every button made from a skin has its own id";
}

TEST_F(ButtonTest, DrawsItsFaceAndLabelScene)
{
    services.texts.SetText("k", L"OK");
    auto b = Make("<element x='8' y='8' width='48' height='24' label='k'>"
                  "<texture id='normal' texture='grey' width='8' height='8'/>"
                  "<textattr id='normal' color='ffffffff' font='block'/></element>");
    b->SetVisible(true);
    b->Update();
    WidgetTest::Canvas canvas(64, 40);
    Fw::Graphics g(&canvas.image);
    b->Draw(&g);
    canvas.Dump("button");
    EXPECT_EQ(canvas.At(10, 10), 0xFF808080u) << "the face at the button's position";
    // "OK" is 16 wide, centred in 48: blocks at x 16+1..16+6 and 24+1..24+6 of the button, rows 8..14.
    EXPECT_EQ(canvas.At(8 + 17, 8 + 10), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.At(8 + 30, 8 + 10), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.At(8 + 24, 8 + 10), 0u) << "the gap between the blocks";
}

} // namespace
