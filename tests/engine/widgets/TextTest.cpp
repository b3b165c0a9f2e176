// Texts: key substitution and its re-rendering with "onchange", the shown length (the typewriter
// target), texture choice, the linked image and drawing.
#include "engine/core/Texture.h"
#include "engine/effects/Effect.h"
#include "engine/effects/EffectFunctions.h"
#include "engine/effects/EffectState.h"
#include "engine/effects/TypeInTarget.h"
#include "engine/effects/WidgetEffect.h"
#include "engine/widgets/Text.h"

#include "WidgetTestSupport.h"

namespace {

using WidgetTest::ParseXml;

class CountingEffect : public VTWidgetEffect {
public:
    void Update(float) override {}
    bool FireEvent(std::string_view name) override
    {
        if (name == "onchange")
            ++changes;
        return false;
    }
    bool SetValue(int32_t, void*) override { return true; }
    void SetTarget(VTIEffect*) override {}
    int changes = 0;
};

class TextTest : public WidgetTest::Fixture {
protected:
    // A visible 200 x 20 text with the block font in white.
    std::unique_ptr<VTText> Make(const std::wstring& label, const std::string& extra = "")
    {
        doc = ParseXml("<element width='200' height='20' visible='1' " + extra +
                       "><textattr id='normal' color='ffffffff' dcolor='ff808080' font='block'/>"
                       "<texture id='normal' texture='grey' width='8' height='8'/></element>");
        auto text = std::make_unique<VTText>(nullptr, &app);
        text->LoadFromXml(doc.SelectSingleNode("element"), &app);
        text->SetLabel(label);
        return text;
    }
    // Draws the text and returns what the font wrote in this draw.
    std::vector<std::wstring> DrawTexts(VTText& text)
    {
        services.font.drawn.clear();
        text.Draw(&g);
        std::vector<std::wstring> out;
        for (const auto& d : services.font.drawn)
            out.push_back(d.text);
        return out;
    }

    Platform::XmlDocument doc;
    WidgetTest::Canvas canvas{256, 32};
    Fw::Graphics g{&canvas.image};
};

TEST_F(TextTest, KeyChangeRerendersOnceWithOneOnchange)
{
    services.keys.SetText("money", L"10");
    auto text = Make(L"Gold: %money%");
    auto effect = std::make_unique<CountingEffect>();
    CountingEffect& e = *effect;
    text->SetEffect(std::move(effect));

    text->Update();
    EXPECT_EQ(text->GetDisplayText(), L"Gold: 10");
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Gold: 10"}));
    const int afterFirst = e.changes;
    EXPECT_EQ(afterFirst, 1);

    text->Update();
    EXPECT_TRUE(DrawTexts(*text).empty()) << "nothing changed: the cached picture is drawn";
    EXPECT_EQ(e.changes, afterFirst);

    services.keys.SetText("money", L"11");
    text->Update();
    EXPECT_EQ(text->GetDisplayText(), L"Gold: 11");
    EXPECT_EQ(e.changes, afterFirst + 1) << "exactly one onchange for the change";
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Gold: 11"}));
    text->Update();
    EXPECT_EQ(e.changes, afterFirst + 1);
    EXPECT_TRUE(DrawTexts(*text).empty());
}

struct TemplateCase {
    const wchar_t* label;
    const wchar_t* expected;
};

const TemplateCase kTemplates[] = {
    {L"a%%b", L"ab"},               // the empty key, normally empty
    {L"x%abc", L"x"},               // a key still open at the end is dropped
    {L"%n%/%n%", L"5/5"},
    {L"%n%%missing%!", L"5!"},      // a key the table lacks reads as empty
    {L"100%% sure", L"100 sure"},
    {L"plain", L"plain"},
};

TEST_F(TextTest, TemplateSubstitution)
{
    services.keys.SetText("n", L"5");
    for (const TemplateCase& c : kTemplates) {
        auto text = Make(c.label);
        text->Update();
        EXPECT_EQ(text->GetDisplayText(), c.expected) << c.label;
    }
    EXPECT_EQ(services.keys.GetText("missing"), L"");
}

TEST_F(TextTest, HiddenTextsAndEmptyLabelsKeepTheirDisplayText)
{
    services.keys.SetText("k", L"A");
    auto text = Make(L"%k%");
    text->SetVisible(false);
    text->Update();
    EXPECT_EQ(text->GetDisplayText(), L"") << "resolved only while visible";
    text->SetVisible(true);
    text->Update();
    EXPECT_EQ(text->GetDisplayText(), L"A");
    text->SetLabel(L"");
    text->Update();
    EXPECT_EQ(text->GetDisplayText(), L"A") << "an empty label changes nothing";
}

TEST_F(TextTest, ShownLengthSetAfterTheUpdatesHoldsForThatDraw)
{
    auto text = Make(L"Hello");
    text->Update();
    VTTypeInTarget& target = *text;
    ASSERT_EQ(target.DisplayedTextLength(), 5);
    // What the typewriter effect sets at v 0.5: ceil(5 x 0.5) characters.
    target.SetShownLength(3);
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Hel"}));

    text->Update();
    EXPECT_EQ(text->GetShownLength(), 5) << "every update shows the whole text again";
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Hello"}));

    text->Update();
    target.SetShownLength(0);
    EXPECT_TRUE(DrawTexts(*text).empty()) << "0 draws no characters";
    text->Update();
    target.SetShownLength(50);
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Hello"})) << "more than the text shows all";
}

// The typewriter effect function on a text bound to an effect, as a timer control calls it: run
// after the frame's updates, its length is the one that frame draws.
TEST_F(TextTest, TypeInShowsTheRoundedUpShareOfTheTextInThatFramesDraw)
{
    auto text = Make(L"Hello");
    text->SetEffect(std::make_unique<VTEffect>());
    VTEffectState state;
    state.type = kTimerControlRange;
    state.owner = static_cast<VTEffect*>(text->GetEffect());
    text->alpha = 0.0f;

    text->Update();
    state.value = 0.5f;
    EXPECT_EQ(DlgTypeIn(&state), 1);
    EXPECT_EQ(text->GetShownLength(), 3) << "ceil(5 x 0.5)";
    EXPECT_EQ(text->alpha, 1.0f) << "the text is shown opaque while it types in";
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Hel"}));

    text->Update();
    state.value = 0.7f;
    EXPECT_EQ(DlgTypeIn(&state), 1);
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Hell"})) << "ceil(3.5) in the next frame";

    // Set before the frame's update, the length does not last to the draw.
    state.value = 0.2f;
    EXPECT_EQ(DlgTypeIn(&state), 1);
    text->Update();
    EXPECT_EQ(DrawTexts(*text), (std::vector<std::wstring>{L"Hello"}));
}

TEST_F(TextTest, DisabledTextWithoutADisabledTextureKeepsItsFaceInDisabledColours)
{
    auto text = Make(L"ab");
    text->Update();
    text->SetDisabled(true);
    text->Update();
    EXPECT_TRUE(text->GetTexture(VTText::kNormal, 0)->enabled);
    services.font.drawn.clear();
    text->Draw(&g);
    ASSERT_EQ(services.font.drawn.size(), 1u);
    EXPECT_EQ(services.font.drawn[0].color.ToInt(), 0xFF808080u);

    // With a disabled texture that has an image, that one shows instead.
    text->AddTexture(VTText::kDisabled, VTTexture::CreateFromDesc(services.catalogue, {"blue", 0, 0, 8, 8}));
    text->Update();
    EXPECT_FALSE(text->GetTexture(VTText::kNormal, 0)->enabled);
    EXPECT_TRUE(text->GetTexture(VTText::kDisabled, 0)->enabled);
    text->SetDisabled(false);
    text->Update();
    EXPECT_TRUE(text->GetTexture(VTText::kNormal, 0)->enabled);
    EXPECT_FALSE(text->GetTexture(VTText::kDisabled, 0)->enabled);
}

TEST_F(TextTest, SkinDefaultsAndAlignment)
{
    auto text = Make(L"ab");
    EXPECT_EQ(text->justification, -1);
    EXPECT_EQ(text->verticalAlignment, -1);
    EXPECT_EQ(text->lineSpacing, -1);
    text->Update();
    services.font.drawn.clear();
    text->Draw(&g);
    ASSERT_EQ(services.font.drawn.size(), 1u);
    EXPECT_EQ(services.font.drawn[0].x, 0) << "left-aligned";
    EXPECT_EQ(services.font.drawn[0].y, 8) << "at the top: the baseline one ascent down";

    auto centred = Make(L"ab", "justify='0' valign='1' hoffset='-2'");
    centred->Update();
    services.font.drawn.clear();
    centred->Draw(&g);
    ASSERT_EQ(services.font.drawn.size(), 1u);
    EXPECT_EQ(services.font.drawn[0].x, 92);
    EXPECT_EQ(services.font.drawn[0].y, 16) << "bottom of 20, moved up by 2";
}

TEST_F(TextTest, LinkedImageDrawsAloneStretched)
{
    auto text = Make(L"ab", "x='4' y='4'");
    text->Resize(0, 0, 16, 8);
    Fw::MemoryImage picture;
    picture.Create(2, 2);
    std::fill(picture.GetBits(), picture.GetBits() + 4, 0xFF00FF00u);
    picture.BitsChanged();
    text->SetLinkedObject(&picture);
    text->Update();
    services.font.drawn.clear();
    text->Draw(&g);
    EXPECT_TRUE(services.font.drawn.empty()) << "no text";
    EXPECT_EQ(canvas.At(15, 7) & 0xFFFF00FFu, 0xFF000000u) << "stretched to the widget";
    EXPECT_GE((canvas.At(15, 7) >> 8) & 0xFF, 0xF0u);
    EXPECT_EQ(canvas.At(16, 2), 0u);
}

TEST_F(TextTest, DrawsTheTextScene)
{
    services.keys.SetText("score", L"42");
    auto text = Make(L"Score %score%", "x='10' y='4'");
    text->Update();
    text->Draw(&g);
    canvas.Dump("text");
    // "Score 42": blocks 8 apart from x 10, rows 4+1 .. 4+7, a gap where the space is.
    EXPECT_EQ(canvas.At(10 + 1, 4 + 3), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.At(10 + 5 * 8 + 3, 4 + 3), 0u) << "the space";
    EXPECT_EQ(canvas.At(10 + 7 * 8 + 3, 4 + 3), 0xFFFFFFFFu) << "the '2'";
    EXPECT_EQ(canvas.At(10 + 8 * 8 + 3, 4 + 3), 0u) << "nothing after the text";
}

} // namespace
