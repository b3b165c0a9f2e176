// Check boxes: the toggle on release over the box and the six faces.
#include "engine/core/Texture.h"
#include "engine/widgets/CheckBox.h"

#include "WidgetTestSupport.h"

namespace {

class CheckBoxTest : public WidgetTest::Fixture {
protected:
    std::unique_ptr<VTCheckBox> Make(bool withOver = true)
    {
        std::string xml = "<element width='8' height='8'><texture id='normal' texture='grey'/>"
                          "<texture id='disabled' texture='blue'/><texture id='check_normal' texture='green'/>"
                          "<texture id='check_disabled' texture='red'/>";
        if (withOver)
            xml += "<texture id='over' texture='white'/><texture id='check_over' texture='white'/>";
        doc = WidgetTest::ParseXml(xml + "</element>");
        auto box = std::make_unique<VTCheckBox>(nullptr);
        box->LoadFromXml(doc.SelectSingleNode("element"), &app);
        return box;
    }
    // The one enabled face, or null (several enabled is a failure).
    VTTexture* Shown(VTCheckBox& box)
    {
        box.Update();
        VTTexture* shown = nullptr;
        for (bool checked : {false, true})
            for (auto face : {VTCheckBox::kNormal, VTCheckBox::kOver, VTCheckBox::kDisabled})
                if (VTTexture* t = box.GetFace(checked, face); t && t->enabled) {
                    EXPECT_EQ(shown, nullptr) << "two faces enabled";
                    shown = t;
                }
        return shown;
    }
    void Click(VTCheckBox& box, bool releaseOver)
    {
        box.isOver = true;
        box.MouseDown(1, 1, 0, 1);
        box.isOver = releaseOver;
        box.MouseUp(releaseOver ? 1 : 20, 1, 0, 1);
    }
    Platform::XmlDocument doc;
};

TEST_F(CheckBoxTest, TwoClicksReturnToTheFirstState)
{
    auto box = Make();
    Click(*box, true);
    EXPECT_TRUE(box->IsChecked());
    Click(*box, true);
    EXPECT_FALSE(box->IsChecked());
}

TEST_F(CheckBoxTest, PressMoveOffReleaseChangesNothing)
{
    auto box = Make();
    Click(*box, false);
    EXPECT_FALSE(box->IsChecked());
    box->isOver = true;
    box->MouseDown(1, 1, 0, 1);
    EXPECT_FALSE(box->IsChecked()) << "the toggle comes with the release";
}

TEST_F(CheckBoxTest, FaceByCheckedHoverAndDisabled)
{
    auto box = Make();
    EXPECT_EQ(Shown(*box), box->GetFace(false, VTCheckBox::kNormal));
    box->isOver = true;
    EXPECT_EQ(Shown(*box), box->GetFace(false, VTCheckBox::kOver));
    box->SetChecked(true);
    EXPECT_EQ(Shown(*box), box->GetFace(true, VTCheckBox::kOver));
    box->isOver = false;
    EXPECT_EQ(Shown(*box), box->GetFace(true, VTCheckBox::kNormal));
    box->SetChecked(false);
    box->disabled = true;
    box->SetChecked(true);
    EXPECT_EQ(Shown(*box), box->GetFace(true, VTCheckBox::kDisabled)) << "checked while disabled";
    EXPECT_NE(Shown(*box), nullptr);
}

TEST_F(CheckBoxTest, WithoutOverFacesHoverShowsTheNormalFace)
{
    auto box = Make(false);
    box->isOver = true;
    EXPECT_EQ(Shown(*box), box->GetFace(false, VTCheckBox::kNormal));
    box->SetChecked(true);
    EXPECT_EQ(Shown(*box), box->GetFace(true, VTCheckBox::kNormal));
}

TEST_F(CheckBoxTest, DrawsTheCheckedFace)
{
    auto box = Make();
    box->SetVisible(true);
    box->SetChecked(true);
    box->Update();
    WidgetTest::Canvas canvas(8, 8);
    Fw::Graphics g(&canvas.image);
    box->Draw(&g);
    EXPECT_EQ(canvas.At(4, 4), 0xFF00FF00u);
}

} // namespace
