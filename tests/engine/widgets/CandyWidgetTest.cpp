// The engine widget base: XML properties, the transform and screen bounds, images held only while
// visible, Show/Hide through the effect, the effect's bindings and hooks, named children, textures,
// drawing through the transform, and mouse forwarding to the game board.
#include "engine/boards/GameBoard3.h"
#include "engine/app/Engine.h"
#include "engine/core/Texture.h"
#include "engine/core/TextureCatalogue.h"
#include "engine/core/XmlAccess.h"
#include "engine/effects/EffectValueIds.h"
#include "engine/effects/ParticleSystem.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "engine/widgets/CandyWidget.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"
#include "framework/rasterizer/TriangleRasterizerTable.h"

#include "support/AppEnvironment.h"
#include "support/FakeImageServices.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

class ProbeWidget : public VTCandyWidget {
public:
    using VTCandyWidget::VTCandyWidget;
    void OnShow() override { ++shows; }
    void OnHide() override { ++hides; }
    int shows = 0, hides = 0;
};

// Records what the widget does with its effect; answers FireEvent for the names in handles.
class FakeEffect : public VTWidgetEffect {
public:
    void Update(float seconds) override { updates.push_back(seconds); }
    bool FireEvent(std::string_view name) override
    {
        fired.emplace_back(name);
        if (name == "render_ps")
            graphicsAtRender = values[VTEffectValueId::Graphics];
        return handles.count(std::string(name)) != 0;
    }
    bool SetValue(int32_t id, void* value) override
    {
        values[id] = value;
        return true;
    }
    void SetTarget(VTIEffect* t) override { target = t; }

    std::map<int32_t, void*> values;
    VTIEffect* target = nullptr;
    std::vector<std::string> fired;
    std::set<std::string> handles;
    std::vector<float> updates;
    void* graphicsAtRender = nullptr;
};

// Installs an effect factory making a FakeEffect for "pulse" for the test's lifetime.
class ScopedEffectFactory {
public:
    ScopedEffectFactory()
    {
        SetWidgetEffectFactory([this](const std::string& name) -> std::unique_ptr<VTWidgetEffect> {
            if (name != "pulse")
                return nullptr;
            auto effect = std::make_unique<FakeEffect>();
            made.push_back(effect.get());
            return effect;
        });
    }
    ~ScopedEffectFactory() { SetWidgetEffectFactory(nullptr); }
    std::vector<FakeEffect*> made;
};

Platform::XmlDocument ParseXml(const std::string& text)
{
    Platform::XmlDocument document;
    EXPECT_TRUE(LoadXmlBytes(text.data(), text.size(), document)) << text;
    return document;
}

// A 1024 x 768 application with a 10 ms frame, and a texture catalogue over fake images.
class CandyWidgetTest : public testing::Test {
protected:
    CandyWidgetTest()
    {
        app.width = 1024;
        app.height = 768;
        app.frameTime = 10;
    }

    std::unique_ptr<VTTexture> Texture(const std::string& image)
    {
        auto texture = std::make_unique<VTTexture>();
        texture->Init(catalogue, image, 0, 0, 4, 4, 0, 1, true, false);
        return texture;
    }

    FwTest::AppEnvironment env;
    Fw::AppBase app;
    TestSupport::FakeImageServices images;
    VTTextureCatalogue catalogue{images};
};

// ---- XML ----

TEST_F(CandyWidgetTest, CommonXmlPropertiesAndDefaults)
{
    auto doc = ParseXml("<r><a x='10' y='20' width='30' height='40' mousevisible='0' scalepointx='5'/>"
                        "<b visible='1' has_alpha='0' scalepointy='7'/></r>");
    ProbeWidget a, b;
    a.hasAlpha = false;
    EXPECT_FALSE(a.LoadCommonFromXml(doc.SelectSingleNode("r/a")));
    EXPECT_EQ(a.GetRect(), Fw::Rect(10, 20, 30, 40));
    EXPECT_EQ(a.exactX, 10.0);
    EXPECT_EQ(a.exactHeight, 40.0);
    EXPECT_FALSE(a.visible) << "created invisible; no \"visible\" keeps it so";
    EXPECT_TRUE(a.hasAlpha) << "absent has_alpha means true";
    EXPECT_FALSE(a.mouseVisible);
    EXPECT_EQ(a.scalePoint, Fw::Point(5, 0));
    EXPECT_EQ(a.GetEffect(), nullptr);

    EXPECT_TRUE(b.LoadCommonFromXml(doc.SelectSingleNode("r/b")));
    EXPECT_EQ(b.GetRect(), Fw::Rect(0, 0, 0, 0));
    EXPECT_TRUE(b.visible);
    EXPECT_FALSE(b.hasAlpha);
    EXPECT_TRUE(b.mouseVisible);
    EXPECT_EQ(b.scalePoint, Fw::Point(0, 7));
}

TEST_F(CandyWidgetTest, XmlEffectIsMadeByNameAndBound)
{
    ScopedEffectFactory factory;
    auto doc = ParseXml("<r><a effect='pulse'/><b effect='unknown'/><c effect=''/></r>");
    ProbeWidget a, b, c;
    a.LoadCommonFromXml(doc.SelectSingleNode("r/a"));
    b.LoadCommonFromXml(doc.SelectSingleNode("r/b"));
    c.LoadCommonFromXml(doc.SelectSingleNode("r/c"));
    ASSERT_EQ(factory.made.size(), 1u);
    FakeEffect& effect = *factory.made[0];
    EXPECT_EQ(a.GetEffect(), &effect);
    EXPECT_EQ(b.GetEffect(), nullptr);
    EXPECT_EQ(c.GetEffect(), nullptr);

    EXPECT_EQ(effect.values[VTEffectValueId::Offset], &a.offset);
    EXPECT_EQ(effect.values[VTEffectValueId::ScalePoint], &a.scalePoint);
    EXPECT_EQ(effect.values[VTEffectValueId::Widget], static_cast<VTCandyWidget*>(&a));
    EXPECT_EQ(effect.values[VTEffectValueId::ChildRecords], &a.GetChildRecords());
    EXPECT_EQ(effect.target, static_cast<VTIEffect*>(&a));
}

// ---- transform and bounds ----

struct TransformCase {
    const char* what;
    Fw::Point position, offset, scalePoint;
    float angle, scale;
    bool parent; // a parent at (100, 0) scaled by 2 about (100, 0)
    Fw::FloatPoint local, expected;
};

constexpr TransformCase kTransforms[] = {
    {"position only", {10, 20}, {}, {}, 0, 1, false, {0, 0}, {10, 20}},
    {"far corner", {10, 20}, {}, {}, 0, 1, false, {40, 20}, {50, 40}},
    {"offset adds to position", {10, 20}, {5, -5}, {}, 0, 1, false, {0, 0}, {15, 15}},
    {"rotation about the scale point: the point stays", {100, 50}, {}, {100, 50}, 90, 1, false, {0, 0}, {100, 50}},
    {"90 degrees turns +x to -y", {100, 50}, {}, {100, 50}, 90, 1, false, {10, 0}, {100, 40}},
    {"90 degrees turns +y to +x", {100, 50}, {}, {100, 50}, 90, 1, false, {0, 10}, {110, 50}},
    {"scale about the origin", {10, 10}, {}, {}, 0, 2, false, {5, 5}, {30, 30}},
    {"scale about a parent-space point", {10, 10}, {}, {20, 20}, 0, 2, false, {0, 0}, {0, 0}},
    {"the scale point itself stays", {10, 10}, {}, {20, 20}, 0, 2, false, {10, 10}, {20, 20}},
    {"offset enters before rotation", {0, 0}, {3, 4}, {10, 10}, 180, 1, false, {0, 0}, {17, 16}},
    {"parent's transform applies last", {10, 10}, {}, {}, 0, 1, true, {0, 0}, {120, 20}},
    {"parent's scale scales the child", {10, 10}, {}, {}, 0, 1, true, {5, 0}, {130, 20}},
};

TEST_F(CandyWidgetTest, TransformTable)
{
    for (const TransformCase& c : kTransforms) {
        VTCandyWidget parent;
        parent.Resize(100, 0, 500, 500);
        parent.SetScale(2.0f);
        parent.SetScalePointX(100);
        auto* w = new VTCandyWidget();
        if (c.parent)
            parent.AddChild("w", w);
        std::unique_ptr<VTCandyWidget> owned(c.parent ? nullptr : w);
        w->Resize(c.position.x, c.position.y, 40, 20);
        w->SetOffsetX(c.offset.x);
        w->SetOffsetY(c.offset.y);
        w->SetScalePointX(c.scalePoint.x);
        w->SetScalePointY(c.scalePoint.y);
        w->angle = c.angle;
        w->SetScale(c.scale);
        const Fw::FloatPoint p = w->GetTransform().TransformPoint(c.local);
        EXPECT_NEAR(p.x, c.expected.x, 1e-3) << c.what;
        EXPECT_NEAR(p.y, c.expected.y, 1e-3) << c.what;
    }
}

TEST_F(CandyWidgetTest, ExactPositionIsTruncatedTowardZero)
{
    VTCandyWidget w;
    w.Resize(0, 0, 10, 10);
    w.exactX = -2.75;
    w.exactY = 3.75;
    w.InvalidateTransform();
    const Fw::FloatPoint p = w.GetTransform().TransformPoint({0, 0});
    EXPECT_EQ(p.x, -2.0f);
    EXPECT_EQ(p.y, 3.0f);
}

TEST_F(CandyWidgetTest, ScreenBoundsAndTheZeroSizeRule)
{
    VTCandyWidget parent;
    parent.Resize(0, 0, 50, 50);
    auto* child = new VTCandyWidget();
    auto* empty = new VTCandyWidget();
    parent.AddChild("child", child);
    parent.AddChild("empty", empty);
    child->Resize(30, 30, 40, 40);
    EXPECT_EQ(child->GetScreenBounds(), Fw::Rect(30, 30, 20, 20)) << "clipped by the parent";
    EXPECT_EQ(empty->GetScreenBounds(), Fw::Rect(0, 0, 50, 50)) << "application area within the parent";

    VTCandyWidget top;
    EXPECT_EQ(top.GetScreenBounds(), Fw::Rect(0, 0, 1024, 768));
    EXPECT_EQ(child->GetClipRect(true), Fw::Rect(0, 0, 1024, 768));
    EXPECT_EQ(child->GetClipRect(false), Fw::Rect(30, 30, 20, 20));

    // A move of the parent reaches the cached bounds of its children.
    parent.Move(10, 0);
    EXPECT_EQ(child->GetScreenBounds(), Fw::Rect(40, 30, 20, 20));

    child->SetScale(0.5f);
    EXPECT_EQ(child->GetScreenBounds(), Fw::Rect(25, 15, 20, 20)) << "half size about (0,0), after the parent";
}

// ---- visibility and images ----

class VisibilityTest : public CandyWidgetTest {
protected:
    VisibilityTest()
    {
        for (const char* name : {"p", "a", "b", "g"})
            images.Add(name, 4, 4, 0xFFFFFFFF);
    }
};

TEST_F(VisibilityTest, ImagesAreHeldOnlyWhileVisibleWithAllAncestors)
{
    auto doc = ParseXml("<r><w x='1'/></r>");
    ProbeWidget parent;
    parent.LoadCommonFromXml(doc.SelectSingleNode("r/w"));
    parent.AddTexture(0, Texture("p"));
    auto* a = new ProbeWidget();
    auto* b = new ProbeWidget();
    auto* grandchild = new ProbeWidget();
    a->AddTexture(0, Texture("a"));
    b->AddTexture(0, Texture("b"));
    grandchild->AddTexture(0, Texture("g"));
    parent.AddChild("a", a);
    parent.AddChild("b", b);
    a->AddChild("g", grandchild);
    a->SetVisible(true);
    grandchild->SetVisible(true);
    EXPECT_EQ(images.Created(), 0) << "nothing loads under an invisible parent";

    parent.Show();
    EXPECT_EQ(images.Created(), 3) << "parent, a and the grandchild; b is hidden";
    EXPECT_TRUE(parent.GetMainTexture()->frames[0].IsLoaded());
    EXPECT_FALSE(b->GetMainTexture()->frames[0].IsLoaded());

    parent.Hide();
    EXPECT_FALSE(parent.visible);
    EXPECT_EQ(images.Deleted(), 3) << "hiding the parent releases its visible descendants";
    EXPECT_TRUE(a->visible) << "children keep their own flags";

    parent.Show();
    EXPECT_EQ(images.Created(), 6);
    EXPECT_FALSE(b->GetMainTexture()->frames[0].IsLoaded());
    parent.Show();
    EXPECT_EQ(images.Created(), 6) << "a second Show does nothing";

    b->SetVisible(true);
    EXPECT_EQ(images.Created(), 7);
    b->AddTexture(3, Texture("b"));
    EXPECT_TRUE(b->GetTexture(3, 0)->frames[0].IsLoaded()) << "a texture added while visible loads";
}

TEST_F(VisibilityTest, ShowAndHideThroughTheEffect)
{
    ProbeWidget w;
    auto effect = std::make_unique<FakeEffect>();
    FakeEffect& e = *effect;
    e.handles = {"onshow"};
    w.SetEffect(std::move(effect));
    w.AddTexture(0, Texture("p"));

    w.Show();
    EXPECT_EQ(e.fired, (std::vector<std::string>{"onshow"}));
    EXPECT_FALSE(w.visible) << "the effect decides when it becomes visible";
    EXPECT_TRUE(w.IsShowing());
    w.Show();
    EXPECT_EQ(w.shows, 1) << "a second Show while showing does nothing";
    EXPECT_EQ(e.fired.size(), 1u);

    e.target->SetVisible(true);
    EXPECT_TRUE(w.visible);
    EXPECT_FALSE(w.IsShowing());
    EXPECT_EQ(images.Created(), 1);

    // No "onhide" message: Hide hides at once.
    w.Hide();
    EXPECT_EQ(w.hides, 1);
    EXPECT_FALSE(w.visible);
    EXPECT_FALSE(w.IsHiding());
    EXPECT_EQ(images.Deleted(), 1);
}

// ---- effect hooks ----

TEST_F(CandyWidgetTest, UpdateAdvancesTheEffectAndDrawFiresRenderWithTheGraphics)
{
    ProbeWidget w;
    auto effect = std::make_unique<FakeEffect>();
    FakeEffect& e = *effect;
    w.SetEffect(std::move(effect));
    w.Update();
    ASSERT_EQ(e.updates.size(), 1u);
    EXPECT_FLOAT_EQ(e.updates[0], 0.01f) << "the 10 ms frame in seconds";

    Fw::MemoryImage canvas(nullptr);
    canvas.Create(8, 8);
    Fw::Graphics g(&canvas);
    w.Draw(&g);
    EXPECT_EQ(e.fired, (std::vector<std::string>{"render_ps"}));
    EXPECT_EQ(e.graphicsAtRender, &g);
}

TEST_F(CandyWidgetTest, EffectSettersChangeTheWidget)
{
    VTCandyWidget parent;
    parent.Resize(0, 0, 100, 100);
    auto* child = new VTCandyWidget();
    parent.AddChild("c", child);
    child->Resize(10, 10, 10, 10);
    EXPECT_EQ(child->GetScreenBounds(), Fw::Rect(10, 10, 10, 10));

    VTIEffect& target = parent;
    target.SetOffsetX(5);
    target.SetOffsetY(7);
    EXPECT_EQ(child->GetScreenBounds(), Fw::Rect(15, 17, 10, 10)) << "an offset shows at once, in the subtree";
    target.SetAlpha(0.0f);
    EXPECT_EQ(parent.alpha, 0.0f);
    EXPECT_FALSE(parent.visible);
    target.SetVisible(true);
    EXPECT_TRUE(parent.visible);
}

// ---- children and textures ----

TEST_F(CandyWidgetTest, ChildrenByNameAndTheirEffectRecords)
{
    VTCandyWidget parent;
    auto* first = new VTCandyWidget();
    auto* second = new VTCandyWidget();
    parent.AddChild("x", first);
    parent.AddChild("x", second);
    EXPECT_EQ(parent.FindChild("x"), first) << "the first child of a name is kept";
    EXPECT_EQ(parent.GetChildren().size(), 2u) << "both are drawn";
    ASSERT_EQ(parent.GetChildRecords().size(), 2u);
    EXPECT_EQ(parent.GetChildRecords()[1].offset, &second->offset);
    EXPECT_EQ(first->GetEngineParent(), &parent);

    parent.RemoveChild("x");
    EXPECT_EQ(parent.FindChild("x"), nullptr);
    EXPECT_EQ(first->GetEngineParent(), nullptr);
    EXPECT_EQ(first->GetParent(), nullptr);
    ASSERT_EQ(parent.GetChildRecords().size(), 1u) << "the removed child's record goes with it";
    EXPECT_EQ(parent.GetChildRecords()[0].child, second);
    delete first; // the caller owns a removed child again
    parent.RemoveChild("nobody");

    // A named child deleted by someone else leaves its parent's name map and records.
    auto* third = new VTCandyWidget();
    parent.AddChild("y", third);
    delete third;
    EXPECT_EQ(parent.FindChild("y"), nullptr);
    EXPECT_EQ(parent.GetChildRecords().size(), 1u);
}

TEST_F(CandyWidgetTest, TexturesByIdAndIndex)
{
    VTCandyWidget w;
    auto a = Texture("a"), b = Texture("b"), c = Texture("c");
    VTTexture *pa = a.get(), *pb = b.get(), *pc = c.get();
    w.AddTexture(3, std::move(a));
    w.AddTexture(0, std::move(b));
    w.AddTexture(3, std::move(c));
    w.AddTexture(5, nullptr);
    EXPECT_EQ(w.GetMainTexture(), pb);
    EXPECT_EQ(w.GetTexture(3, 0), pa);
    EXPECT_EQ(w.GetTexture(3, 1), pc);
    EXPECT_EQ(w.GetTexture(3, 2), nullptr);
    EXPECT_EQ(w.GetTexture(2, 0), nullptr);
    EXPECT_EQ(w.GetTexture(5, 0), nullptr);
    EXPECT_EQ(w.GetTextures().size(), 3u);
}

TEST_F(CandyWidgetTest, DrawsItsTexturesThroughTheTransform)
{
    Fw::InitTriangleRasterizers();
    images.Add("red", 4, 4, 0xFFFF0000);
    VTCandyWidget w;
    w.Resize(10, 6, 4, 4);
    w.SetScale(2.0f);
    w.AddTexture(0, Texture("red"));
    w.SetVisible(true);
    w.Update();

    Fw::MemoryImage canvas(nullptr);
    canvas.Create(32, 32);
    Fw::Graphics g(&canvas);
    w.Draw(&g);
    // Scaled by 2 about (0,0): the 4 x 4 image covers (20, 12) to (28, 20).
    const uint32_t* bits = canvas.GetBits();
    auto at = [&](int x, int y) { return bits[y * 32 + x]; };
    EXPECT_EQ(at(21, 13) >> 24, 0xFFu);
    EXPECT_EQ(at(21, 13) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(at(26, 18) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(at(18, 13), 0u);
    EXPECT_EQ(at(21, 10), 0u);
    EXPECT_EQ(at(29, 18), 0u);
}

// ---- mouse ----

TEST_F(CandyWidgetTest, MouseEventsReachTheEnclosingGameBoard)
{
    VTBoard_Game3 board;
    VTCandyWidget panel;
    auto* button = new VTCandyWidget();
    board.AddWidget(&panel);
    panel.AddChild("button", button);

    button->MouseDown(1, 2, 0, 2);
    button->MouseUp(1, 2, 1, 1);
    button->MouseMove(3, 4);
    button->MouseDrag(3, 4);
    auto down = board.MouseQueue().PopDown();
    ASSERT_TRUE(down.has_value());
    EXPECT_EQ(down->button, 0);
    EXPECT_EQ(down->clickCount, 2);
    EXPECT_FALSE(board.MouseQueue().PopDown().has_value());
    auto up = board.MouseQueue().PopUp();
    ASSERT_TRUE(up.has_value());
    EXPECT_EQ(up->button, 1);
    EXPECT_TRUE(board.MouseQueue().PopMove().has_value());
    EXPECT_TRUE(board.MouseQueue().PopMove().has_value()) << "a drag counts as a move";
    EXPECT_FALSE(board.MouseQueue().PopMove().has_value());

    button->MouseEnter();
    EXPECT_TRUE(button->hover);
    button->MouseLeave();
    EXPECT_FALSE(button->hover);

    board.RemoveWidget(&panel);
    button->MouseDown(1, 2, 0, 1);
    button->MouseMove(1, 2);
    EXPECT_FALSE(board.MouseQueue().PopDown().has_value()) << "outside any game board nothing is passed on";
    EXPECT_FALSE(board.MouseQueue().PopMove().has_value());
}

} // namespace

// ---- the engine's particle registry ----

namespace {

TEST(CandyWidgetEngine, ParticleSystemsOfTheEffectAdvanceWithTheWidget)
{
    FwTest::AppEnvironment env;
    VTEngine engine(std::filesystem::current_path().string());
    engine.frameTime = 100;
    ASSERT_NE(engine.GetParticleRegistry(), nullptr);

    VTCandyWidget widget;
    auto effect = std::make_unique<FakeEffect>();
    const VTWidgetEffect* effectKey = effect.get();
    widget.SetEffect(std::move(effect));

    VTParticleSystemDesc d;
    d.emissionRate = 10.0f;
    d.lifeTime = 1.0f;
    auto* ofEffect = new VTParticleSystem(&d, effectKey);  // as effect functions make them
    VTParticleSystem ofWidget(&d, &widget);                 // as a script system, owned by its widget
    ofEffect->Play();
    ofWidget.Play();

    widget.Update();
    widget.Update();
    widget.Update();
    EXPECT_EQ(ofEffect->Particles().size(), 3u) << "one per 0.1 s frame at 10 a second";
    EXPECT_TRUE(ofWidget.Particles().empty()) << "a script system is advanced by its widget's own list only";

    engine.GetParticleRegistry()->DestroyByOwner(effectKey);
    EXPECT_EQ(engine.GetParticleRegistry()->Size(), 1u);
}

} // namespace
