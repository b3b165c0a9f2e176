#include "framework/assets/FontData.h"
#include "framework/core/StringUtils.h"

#include "support/FontFixtures.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Fw::FontData;
using Fw::FontLayer;

class FontDataTest : public ::testing::Test {
protected:
    // Writes text as the UTF-16LE file "f.txt" and loads it; returns loaded.
    bool Load(const std::wstring& text)
    {
        folder.Write("f.txt", TestSupport::Utf16Le(text));
        dataPtr = std::make_unique<FontData>();
        EXPECT_TRUE(data().Load(&images, "f.txt"));
        return data().loaded;
    }
    FontLayer& Layer(const std::string& name) { return *data().fontLayerMap.at(name); }
    // Each popup without the header "Font Descriptor Error in f.txt\r\n" (checked here).
    std::vector<std::wstring> Messages()
    {
        std::vector<std::wstring> out;
        const std::wstring header = L"Font Descriptor Error in f.txt\r\n";
        for (const auto& p : capture.popups) {
            EXPECT_EQ(p.substr(0, header.size()), header);
            const auto end = p.find(L" on Line ");
            out.push_back(p.substr(header.size(), end == std::wstring::npos ? std::wstring::npos : end - header.size()));
        }
        return out;
    }
    // The define's value printed as "(a b (c))".
    std::wstring DefineText(const std::wstring& name)
    {
        const Fw::DataElement* e = data().FindDefine(name);
        return e ? Print(*e) : L"<none>";
    }
    static std::wstring Print(const Fw::DataElement& e)
    {
        if (!e.isList)
            return static_cast<const Fw::SingleDataElement&>(e).value;
        std::wstring out = L"(";
        for (const auto& c : static_cast<const Fw::ListDataElement&>(e).children)
            out += (out.size() > 1 ? L" " : L"") + Print(*c);
        return out + L")";
    }

    TestSupport::ScratchFolder folder;
    TestSupport::PopupCapture capture;
    TestSupport::TestImageSource images;
    std::unique_ptr<FontData> dataPtr = std::make_unique<FontData>();
    FontData& data() { return *dataPtr; }
};

TEST_F(FontDataTest, PopupHasHeaderLineAndCommand)
{
    EXPECT_FALSE(Load(L"CreateLayer main;\n# note\nLayerSetAscent main\n  oops 3;\nLayerSetAscent main 1;"));
    ASSERT_EQ(capture.popups.size(), 1u);
    EXPECT_EQ(capture.popups[0],
              L"Font Descriptor Error in f.txt\r\nInvalid Number of Parameters on Line 3:\r\n\r\n"
              L"LayerSetAscent main\noops 3");
    EXPECT_EQ(Layer("MAIN").ascent, 0); // the command after the failure never ran
}

TEST_F(FontDataTest, LayersAndPlainSettersInAnyCase)
{
    EXPECT_TRUE(Load(L"SetDefaultPointSize 18; createlayer Main; LAYERSETASCENT main 10;"
                     L"LayerSetHeight MAIN 14; LayerSetPointSize main 24; LayerPointRange main 8 -1;"
                     L"LayerSetSpacing main -2; LayerSetBaseOrder main 5; LayerSetAscentPadding main 3;"
                     L"LayerSetLineSpacingOffset main 4; LayerSetDrawMode main 1;"
                     L"Define off (2 -3); LayerSetOffset main off;"
                     L"LayerSetColorMult main (1 0.5 0 1); LayerSetColorAdd main 0x10203040;"
                     L"LayerRequireTags main ('bold' 'Big'); LayerExcludeTags main (\"small\");"
                     L"LayerSetCharOffsetsShift whatever (1 2) 3 4;"));
    EXPECT_TRUE(capture.popups.empty());
    const FontLayer& l = Layer("MAIN");
    EXPECT_EQ(data().defaultPointSize, 18);
    EXPECT_EQ(l.ascent, 10);
    EXPECT_EQ(l.height, 14);
    EXPECT_EQ(l.pointSize, 24);
    EXPECT_EQ(l.minPointSize, 8);
    EXPECT_EQ(l.maxPointSize, -1);
    EXPECT_EQ(l.spacing, -2);
    EXPECT_EQ(l.baseOrder, 5);
    EXPECT_EQ(l.ascentPadding, 3);
    EXPECT_EQ(l.lineSpacingOffset, 4);
    EXPECT_EQ(l.drawMode, 1);
    EXPECT_EQ(l.offsetX, 2);
    EXPECT_EQ(l.offsetY, -3);
    EXPECT_EQ(l.colorMult, Fw::Color(255, 127, 0, 255));
    EXPECT_EQ(l.colorAdd, Fw::Color(0x20, 0x30, 0x40, 0x10));
    EXPECT_EQ(l.requiredTags, (std::vector<std::string>{"BOLD", "BIG"}));
    EXPECT_EQ(l.excludedTags, (std::vector<std::string>{"SMALL"}));
}

struct BadCommand {
    const wchar_t* command;
    std::vector<std::wstring> messages;
};

TEST_F(FontDataTest, RejectedCommands)
{
    const BadCommand cases[] = {
        {L"Frobnicate 1", {L"Unknown Command"}},
        {L"\xFEFF" L"CreateLayer x", {L"Unknown Command"}},
        {L"LayerSetAscent main", {L"Invalid Number of Parameters"}},
        {L"LayerSetAscent nope 10", {L"Undefined Layer", L"Invalid Paramater Type"}},
        {L"Define ten 10; LayerSetAscent main ten", {L"Invalid Paramater Type"}},
        {L"LayerSetDrawMode main 2", {L"Invalid Paramater Type"}},
        {L"LayerSetDrawMode main -1", {L"Invalid Paramater Type"}},
        {L"LayerSetOffset main (1 2 3)", {L"Invalid Paramater Type"}},
        {L"LayerSetColorMult main (1 1 1)", {L"Invalid Paramater Type"}},
        {L"Define 1x 2", {L"Invalid Paramater Type"}},
        {L"LayerSetImage main 'missing.png'", {L"Failed to Load Image"}},
        {L"LayerSetImageMap main ('a') ((0 0 1 1))", {L"Layer image not set"}},
        {L"(a) b", {L"Missing Command"}},
        {L"LayerSetAscent main 'x", {L"Unterminated Single Quotes"}},
    };
    for (const auto& c : cases) {
        capture.popups.clear();
        EXPECT_FALSE(Load(L"CreateLayer main;" + std::wstring(c.command))) << c.command;
        EXPECT_EQ(Messages(), c.messages) << c.command;
    }
}

TEST_F(FontDataTest, LayerAlreadyExistsKeepsLoading)
{
    EXPECT_TRUE(Load(L"CreateLayer a; LayerSetAscent a 5; CreateLayerFrom A a; LayerSetAscent a 7;"));
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"Layer Already Exists"}));
    ASSERT_EQ(data().fontLayers.size(), 2u);
    EXPECT_EQ(data().fontLayers.front().ascent, 7); // the name still means the first layer
    EXPECT_EQ(data().fontLayers.back().ascent, 5);  // the copy took the values of that moment
    EXPECT_FALSE(data().Load(&images, "f.txt"));   // a loaded description loads no second file
}

TEST_F(FontDataTest, DefinesAndSpanLists)
{
    EXPECT_TRUE(Load(L"Define w 5; CreateHorzSpanRectList r (10 20 99 30) (w 7);"
                     L"Define copy r; Define x plain; Define x x;"));
    EXPECT_EQ(DefineText(L"R"), L"((10 20 5 30) (15 20 7 30))");
    EXPECT_EQ(DefineText(L"copy"), L"((10 20 5 30) (15 20 7 30))");
    EXPECT_EQ(DefineText(L"x"), L"x"); // the old value is gone before the new one is looked up

    EXPECT_FALSE(Load(L"Define l (1 2); Define l (l 3);"));
    EXPECT_EQ(DefineText(L"l"), L"<none>");
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"Unable to Dereference \"l\"", L"Invalid Paramater Type"}));
}

TEST_F(FontDataTest, PerCharacterCommands)
{
    EXPECT_TRUE(Load(L"CreateLayer m; LayerSetCharWidths m ('a' 'b') (3 4); LayerSetCharOrders m ('a') (-2);"
                     L"LayerSetCharOffsets m ('b') ((1 -1)); LayerSetKerningPairs m ('ab' 'ba') (200 -3);"));
    const FontLayer& l = Layer("M");
    EXPECT_EQ(l.CharInfo(L'a').width, 3);
    EXPECT_EQ(l.CharInfo(L'b').width, 4);
    EXPECT_EQ(l.CharInfo(L'a').order, -2);
    EXPECT_EQ(l.CharInfo(L'b').offsetY, -1);
    EXPECT_EQ(l.CharInfo(L'a').KerningFor(L'b'), -56); // 200 kept as a signed byte
    EXPECT_EQ(l.CharInfo(L'b').KerningFor(L'a'), -3);
    EXPECT_EQ(l.CharInfo(L'z').width, 0);
    EXPECT_EQ(l.charData.count(L'z'), 0u); // reading an absent character adds nothing

    capture.popups.clear();
    EXPECT_FALSE(Load(L"CreateLayer m; Define abc ('a' 'b' 'c'); LayerSetCharWidths m abc (1 2);"));
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"List Size Mismatch"}));
    EXPECT_TRUE(Layer("M").charData.empty());

    capture.popups.clear();
    EXPECT_FALSE(Load(L"CreateLayer m; LayerSetCharWidths m ('a' 'xy' 'c') (1 2 3);"));
    EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"Invalid Paramater Type"}));
    EXPECT_EQ(Layer("M").CharInfo(L'a').width, 1);
    EXPECT_EQ(Layer("M").CharInfo(L'c').width, 3);
}

TEST_F(FontDataTest, ImageMapBoundsAndLargestHeight)
{
    images.Add("glyphs.png", 20, 10);
    EXPECT_TRUE(Load(L"CreateLayer m; LayerSetImage m 'glyphs.png'; LayerSetCharOffsets m ('a') ((0 3));"
                     L"LayerSetImageMap m ('a' 'b') ((0 0 5 6) (15 2 5 8)); LayerSetCharOffsets m ('b') ((0 9));"));
    const FontLayer& l = Layer("M");
    EXPECT_EQ(images.requested, (std::vector<std::string>{"glyphs.png"}));
    EXPECT_EQ(l.CharInfo(L'b').imageRect, Fw::Rect(15, 2, 5, 8));
    EXPECT_EQ(l.defaultHeight, 9); // 6 + 3 from a; b's later offset does not count

    const std::pair<const wchar_t*, bool> rects[] = {
        {L"(0 0 20 10)", true}, {L"(-1 0 2 2)", false}, {L"(0 -1 2 2)", false}, {L"(16 0 5 1)", false},
        {L"(0 5 1 6)", false},  {L"(5 5 -2 1)", false}, {L"(5 5 1 -2)", false}, {L"(0 0 0 0)", true},
    };
    for (const auto& [rect, ok] : rects) {
        capture.popups.clear();
        EXPECT_EQ(Load(L"CreateLayer m; LayerSetImage m 'glyphs.png'; LayerSetImageMap m ('q' 'z') ((0 0 1 1) " +
                       std::wstring(rect) + L");"),
                  ok)
            << rect;
        EXPECT_EQ(Layer("M").CharInfo(L'q').imageRect, Fw::Rect(0, 0, 1, 1)) << rect; // stored before the bad one
        if (!ok) {
            EXPECT_EQ(Messages(), (std::vector<std::wstring>{L"Image rectangle out of bounds"})) << rect;
        }
    }
}

TEST_F(FontDataTest, ImagePathIsRelativeToTheDescription)
{
    images.Add("img\\g.png", 1, 1);
    folder.Write("fonts/f.txt", TestSupport::Utf16Le(L"CreateLayer m; LayerSetImage m \"..\\\\img\\\\g.png\";"));
    data().Load(&images, "fonts/f.txt");
    EXPECT_TRUE(data().loaded);
    EXPECT_EQ(images.requested, (std::vector<std::string>{"img\\g.png"}));
}

TEST_F(FontDataTest, GarbledDescriptionsFailCleanly)
{
    // Fragments of real commands shuffled with the syntax characters: whatever the mix, loading
    // ends without a crash, and it fails exactly when something other than "Layer Already
    // Exists" was reported.
    const std::wstring pieces[] = {
        L"CreateLayer m", L"LayerSetImage m 'g.png'", L"LayerSetImageMap m ('a' 'b') ((0 0 4 4) (4 0 4 4))",
        L"LayerSetCharWidths m ('a') (3)", L"LayerSetKerningPairs m ('ab') (-300)", L"Define d (1 (2 3))",
        L"CreateHorzSpanRectList r (0 0 8 4) (4 4)", L"LayerSetOffset m d", L"LayerSetColorMult m (1 1 1 1)",
        L"(", L")", L"'", L"\"", L"\\", L";", L"#", L"\n", L" ", L",", L"-", L"0x", L"99999999999", L"d", L"\xFEFF",
    };
    images.Add("g.png", 8, 4);
    std::mt19937 random(1234);
    for (int run = 0; run < 300; ++run) {
        std::wstring text;
        for (int i = 0, n = int(random() % 12); i < n; ++i)
            text += pieces[random() % std::size(pieces)] + (random() % 3 ? L";" : L" ");
        capture.popups.clear();
        const bool ok = Load(text);
        EXPECT_EQ(ok, capture.popups.empty() || Messages() == std::vector<std::wstring>(capture.popups.size(), L"Layer Already Exists"))
            << "run " << run << ": " << Fw::WStringToString(text);
    }
}

} // namespace
