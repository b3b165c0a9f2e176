// Dialogs: building from skin elements through the element factory, modal layers, alpha through
// nested dialogs, clicks climbing to the outermost dialog, nested dialogs by name, the mouse
// handler, tutorial dialogs, and a drawn scene of every class.
#include "engine/core/Texture.h"
#include "engine/widgets/Anim.h"
#include "engine/widgets/Bar.h"
#include "engine/widgets/Button.h"
#include "engine/widgets/CheckBox.h"
#include "engine/widgets/Dialog.h"
#include "engine/widgets/Text.h"
#include "engine/widgets/TutorialDialog.h"
#include "framework/widgets/WidgetManager.h"

#include "WidgetTestSupport.h"

#include <typeinfo>

namespace {

using WidgetTest::ParseXml;

class RecordingDialog : public VTDialog {
public:
    RecordingDialog(std::string n, VTCandyWidget* parent, Fw::AppBase* app, std::vector<std::string>& log)
        : VTDialog(parent, app), name(std::move(n)), log_(log)
    {
    }
    void OnButtonClicked(int32_t id) override
    {
        log_.push_back(name + " " + std::to_string(id));
        VTDialog::OnButtonClicked(id);
    }
    std::string name;

private:
    std::vector<std::string>& log_;
};

class OnCreateEffect : public VTWidgetEffect {
public:
    explicit OnCreateEffect(std::vector<std::string>& log) : log_(log) {}
    void Update(float) override {}
    bool FireEvent(std::string_view name) override
    {
        log_.emplace_back(name);
        return false;
    }
    bool SetValue(int32_t, void*) override { return true; }
    void SetTarget(VTIEffect*) override {}

private:
    std::vector<std::string>& log_;
};

class DialogTest : public WidgetTest::Fixture {
protected:
    Fw::WidgetManager& Manager() { return *app.widgetManager; }
    Platform::XmlDocument doc;
};

TEST_F(DialogTest, ElementsAreMadeByExactTypeAndNeedAName)
{
    doc = ParseXml("<element width='300' height='200'>"
                   "<element type='vtbutton' name='button'/><element type='vttext' name='text'/>"
                   "<element type='vtdialog' name='dialog'><element type='vttext' name='deep'/></element>"
                   "<element type='vtbar' name='bar'/><element type='vtcheckbox' name='check'/>"
                   "<element type='vtanim' name='anim'/><element type='vttutorial' name='tutorial'/>"
                   "<element type='VTButton' name='wrongcase'/><element type='vtbutton'/>"
                   "<element type='vtunknown' name='unknown'/><element name='typeless'/>"
                   "<other type='vttext' name='notanelement'/></element>");
    VTDialog dialog(nullptr, &app);
    dialog.LoadFromXml(doc.SelectSingleNode("element"));

    const std::pair<const char*, const std::type_info*> expected[] = {
        {"button", &typeid(VTButton)}, {"text", &typeid(VTText)},         {"dialog", &typeid(VTDialog)},
        {"bar", &typeid(VTBar)},       {"check", &typeid(VTCheckBox)},    {"anim", &typeid(VTAnim)},
        {"tutorial", &typeid(VTTutorialDialog)},
    };
    for (const auto& [name, type] : expected) {
        VTCandyWidget* child = dialog.FindChild(name);
        ASSERT_NE(child, nullptr) << name;
        EXPECT_EQ(typeid(*child), *type) << name;
        EXPECT_EQ(child->GetEngineParent(), &dialog) << name;
    }
    EXPECT_EQ(dialog.GetChildren().size(), std::size(expected)) << "nothing else was made";
    EXPECT_NE(dialog.FindChild("dialog")->FindChild("deep"), nullptr) << "nested elements build recursively";
    EXPECT_EQ(dialog.FindChild("wrongcase"), nullptr);
}

TEST_F(DialogTest, OnCreateIsFiredOnEachMadeWidgetsEffect)
{
    std::vector<std::string> fired;
    SetWidgetEffectFactory([&fired](const std::string& name) -> std::unique_ptr<VTWidgetEffect> {
        return name == "pop" ? std::make_unique<OnCreateEffect>(fired) : nullptr;
    });
    doc = ParseXml("<element><element type='vttext' name='t' effect='pop'/><element type='vttext' name='u'/>"
                   "</element>");
    VTDialog dialog(nullptr, &app);
    dialog.LoadFromXml(doc.SelectSingleNode("element"));
    SetWidgetEffectFactory(nullptr);
    EXPECT_EQ(fired, (std::vector<std::string>{"oncreate"}));
}

TEST_F(DialogTest, ModalLayerWhileVisible)
{
    doc = ParseXml("<element modal='1'/>");
    auto* dialog = new VTDialog(nullptr, &app);
    dialog->LoadFromXml(doc.SelectSingleNode("element"));
    Manager().AddWidget(dialog);
    EXPECT_TRUE(dialog->IsModal());
    EXPECT_TRUE(Manager().GetModalLayers().empty()) << "never shown: no layer";

    dialog->Show();
    ASSERT_EQ(Manager().GetModalLayers().size(), 1u);
    EXPECT_EQ(Manager().GetModalBase(), dialog);
    dialog->Hide();
    EXPECT_TRUE(Manager().GetModalLayers().empty());
    dialog->Show();
    EXPECT_EQ(Manager().GetModalLayers().size(), 1u) << "shown again: pushed again";
    dialog->Hide();

    // SetModal on a hidden dialog pushes at once; showing it later pushes no second layer.
    auto* other = new VTDialog(nullptr, &app);
    Manager().AddWidget(other);
    other->SetModal(true);
    EXPECT_EQ(Manager().GetModalLayers().size(), 1u);
    other->Show();
    EXPECT_EQ(Manager().GetModalLayers().size(), 1u);
    other->SetModal(false);
    EXPECT_TRUE(Manager().GetModalLayers().empty());

    // A dialog going away with its layer pushed takes the layer with it.
    other->SetModal(true);
    delete other;
    EXPECT_TRUE(Manager().GetModalLayers().empty());
    delete dialog;
}

TEST_F(DialogTest, AlphaMultipliesThroughNestedDialogs)
{
    VTDialog outer(nullptr, &app);
    auto* inner = new VTDialog(nullptr, &app);
    outer.AddChild("inner", inner);
    outer.alpha = 0.5f;
    inner->alpha = 0.5f;
    inner->Resize(0, 0, 8, 8);
    inner->AddTexture(0, VTTexture::CreateFromDesc(services.catalogue, {"white", 0, 0, 8, 8}));
    outer.SetVisible(true);
    inner->SetVisible(true);
    inner->Update();
    WidgetTest::Canvas canvas(8, 8);
    Fw::Graphics g(&canvas.image);
    inner->Draw(&g);
    EXPECT_EQ(g.color, Fw::Color(255, 255, 255, 63)) << "trunc(255 x 0.25)";
    EXPECT_TRUE(g.colorizeImages);
    EXPECT_NEAR(static_cast<int>(canvas.At(4, 4) >> 24), 63, 3) << "the background drawn with about that alpha";
}

TEST_F(DialogTest, AClickTwoDialogsDeepClimbsToTheOutermostDialog)
{
    std::vector<std::string> log;
    VTCandyWidget plain;
    auto* top = new RecordingDialog("top", nullptr, &app, log);
    plain.AddChild("top", top);
    auto* middle = new RecordingDialog("middle", nullptr, &app, log);
    top->AddChild("middle", middle);
    doc = ParseXml("<element><element type='vtdialog' name='inner'>"
                   "<element type='vtbutton' name='ok' width='10' height='10'/></element></element>");
    middle->LoadFromXml(doc.SelectSingleNode("element"));
    auto* button = dynamic_cast<VTButton*>(middle->FindChild("inner")->FindChild("ok"));
    ASSERT_NE(button, nullptr);

    button->isOver = true;
    button->MouseUp(1, 1, 0, 1);
    const std::string id = std::to_string(button->GetId());
    EXPECT_EQ(log, (std::vector<std::string>{"middle " + id, "top " + id}))
        << "the inner dialog passes it on; the top dialog's parent is no dialog";
}

TEST_F(DialogTest, NestedDialogByNameAndType)
{
    doc = ParseXml("<root><element type='vttext' name='menu' x='1'/>"
                   "<element type='vtdialog' name='menu' x='7' width='20' height='20'>"
                   "<element type='vttext' name='caption'/></element></root>");
    VTDialog dialog(nullptr, &app);
    EXPECT_FALSE(dialog.LoadNestedDialog(doc.SelectSingleNode("root"), L"missing"));
    EXPECT_TRUE(dialog.LoadNestedDialog(doc.SelectSingleNode("root"), L"menu"));
    EXPECT_EQ(dialog.x, 7);
    EXPECT_NE(dialog.FindChild("caption"), nullptr);
    EXPECT_FALSE(dialog.LoadNestedDialog(doc.SelectSingleNode("root"), L"me'nu\"")) << "quotes cannot break the query";
}

TEST_F(DialogTest, MouseHandlerGetsPressesFirst)
{
    struct Handler : Fw::Widget {
        void MouseDown(int32_t mx, int32_t my, int button, int clicks) override
        {
            got = {mx, my, button, clicks};
        }
        std::array<int, 4> got{};
    } handler;
    VTDialog dialog(nullptr, &app);
    dialog.SetMouseHandler(&handler);
    dialog.MouseDown(3, 4, 1, 2);
    EXPECT_EQ(handler.got, (std::array<int, 4>{3, 4, 1, 2}));
}

TEST_F(DialogTest, TutorialHidesOnAnyClickWhenAsked)
{
    doc = ParseXml("<root><element type='vttutorial' name='a' clickhide='1' visible='1'/>"
                   "<element type='vttutorial' name='b' visible='1'/></root>");
    VTTutorialDialog hides(nullptr, &app), stays(nullptr, &app);
    hides.LoadFromXml(doc.SelectSingleNode("root/element[@name='a']"));
    stays.LoadFromXml(doc.SelectSingleNode("root/element[@name='b']"));
    hides.MouseUpByClickCode(1, 1, 1);
    stays.MouseUpByClickCode(1, 1, 1);
    EXPECT_FALSE(hides.visible);
    EXPECT_TRUE(stays.visible);
}

TEST_F(DialogTest, SceneOfEveryClass)
{
    services.texts.SetText("ok", L"OK");
    services.keys.SetText("gold", L"12");
    doc = ParseXml(
        "<element x='0' y='0' width='160' height='100' visible='1'>"
        "<texture id='normal' texture='grey' width='8' height='8'/>"
        "<element type='vttext' name='gold' label='gold' x='8' y='4' width='140' height='12' visible='1'>"
        "<textattr id='normal' color='ffffffff' font='block'/></element>"
        "<element type='vtbutton' name='ok' label='ok' x='8' y='24' width='40' height='16' visible='1'>"
        "<texture id='normal' texture='blue' width='8' height='8'/>"
        "<textattr id='normal' color='ffffffff' font='block'/></element>"
        "<element type='vtcheckbox' name='check' x='60' y='24' width='8' height='8' visible='1'>"
        "<texture id='normal' texture='red'/><texture id='check_normal' texture='green'/></element>"
        "<element type='vtbar' name='bar' x='8' y='50' width='80' height='8' seg_width='8' visible='1'>"
        "<texture id='fill' texture='green'/><texture id='empty' texture='red'/></element>"
        "<element type='vtanim' name='anim' x='100' y='50' width='8' height='8' fps='10' visible='1'>"
        "<texture texture='red'/><texture texture='blue'/></element>"
        "</element>");
    auto* dialog = new VTDialog(nullptr, &app);
    dialog->LoadFromXml(doc.SelectSingleNode("element"));
    auto* bar = dynamic_cast<VTBar*>(dialog->FindChild("bar"));
    ASSERT_NE(bar, nullptr);
    bar->SetMaximum(2);
    bar->SetValue(1);
    dynamic_cast<VTCheckBox*>(dialog->FindChild("check"))->SetChecked(true);
    dynamic_cast<VTText*>(dialog->FindChild("gold"))->SetLabel(L"Gold %gold%");

    WidgetTest::Canvas canvas(160, 100);
    Manager().image = &canvas.image;
    Manager().SetScreenRects(Fw::Rect(0, 0, 160, 100), Fw::Rect(0, 0, 160, 100));
    Manager().AddWidget(dialog);
    Manager().UpdateFrame();
    Manager().DrawScreen();
    canvas.Dump("dialog");
    Manager().RemoveWidget(dialog);
    Manager().image = nullptr;
    delete dialog;

    const auto hue = [&](int x, int y) {
        const uint32_t p = canvas.At(x, y);
        return (p >> 24) < 0xF0 ? '?' : ((p >> 16) & 0xFF) > 0xF0 ? (((p >> 8) & 0xFF) > 0xF0 ? 'W' : 'R')
                                      : ((p >> 8) & 0xFF) > 0xF0 ? 'G' : (p & 0xFF) > 0xF0 ? 'B' : 'K';
    };
    EXPECT_EQ(hue(2, 2), 'K') << "the grey background (8 x 8 at the dialog's corner)";
    EXPECT_EQ(hue(8 + 1, 4 + 3), 'W') << "the text's first block";
    EXPECT_EQ(hue(10, 26), 'B') << "the button's face";
    EXPECT_EQ(hue(8 + 12 + 1, 24 + 3 + 4), 'W') << "the label's first block";
    EXPECT_EQ(hue(62, 26), 'G') << "the checked face";
    EXPECT_EQ(hue(10, 52), 'G') << "a filled segment";
    EXPECT_EQ(hue(80, 52), 'R') << "an empty segment";
    EXPECT_EQ(hue(102, 52), 'B') << "the animation's second frame after one 100 ms update";
}

} // namespace
