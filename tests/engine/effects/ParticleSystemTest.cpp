// Particle systems: setup and colour-key validation, deterministic emission and motion, colour keys,
// emitter shapes, degenerate times, drawing, and the owner-keyed registry.
#include "engine/core/TextureCatalogue.h"
#include "engine/effects/ParticleSystem.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "framework/core/Rand15.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include "support/FakeImageServices.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// No randomness, no spread: every particle leaves (100, 200) straight down at 100 px/s, slowing to 0
// over 1 s, with a drift of 20 px/s down; 10 particles a second living 1 s, plain white.
VTParticleSystemDesc Plain()
{
    VTParticleSystemDesc d;
    d.emissionRate = 10.0f;
    d.startSpeed = 100.0f;
    d.startSize = 1.0f;
    d.endSize = 3.0f;
    d.lifeTime = 1.0f;
    d.positionX = 100.0f;
    d.positionY = 200.0f;
    d.driftY = 20.0;
    d.frictionTime = 1.0f;
    return d;
}

VTColorAgeKey Key(float age, int r, int g, int b, int a = 255) { return {age, Fw::Color(r, g, b, a)}; }

TEST(ParticleSystemSetup, ScriptDefaultsGiveCapacity30AndPool31)
{
    const VTParticleSystemDesc d = VTParticleSystemDesc::ScriptDefaults("fx");
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    EXPECT_EQ(ps.Desc().capacity, 30);
    ASSERT_NE(ps.Pool(), nullptr);
    EXPECT_EQ(ps.Pool()->Capacity(), 31);
    EXPECT_FALSE(ps.IsActive());
    EXPECT_TRUE(ps.SetupError().empty());
}

TEST(ParticleSystemSetup, InvalidColourKeysAreRefusedWithTheirMessage)
{
    struct Case {
        const char* what;
        std::vector<VTColorAgeKey> keys;
        const char* error;
    };
    const Case cases[] = {
        {"one key", {Key(0.0f, 1, 2, 3)}, "ERROR: [PS: ] age color count less than 2 !.."},
        {"first age above 0", {Key(0.1f, 0, 0, 0), Key(1.5f, 0, 0, 0)},
         "ERROR: [PS: ] first color age must be equal to 0!.."},
        {"first age not a number", {Key(std::nanf(""), 0, 0, 0), Key(1.5f, 0, 0, 0)},
         "ERROR: [PS: ] first color age must be equal to 0!.."},
        {"last age exactly 1", {Key(0.0f, 0, 0, 0), Key(1.0f, 0, 0, 0)},
         "ERROR: [PS: ] last color age must be greater than 1!.."},
        {"nine keys", std::vector<VTColorAgeKey>(9, Key(0.0f, 0, 0, 0)),
         "ERROR: [PS: ] age color count greater than 8 !.."},
    };
    for (const Case& c : cases) {
        VTParticleSystemDesc d = Plain();
        d.keyCount = static_cast<int32_t>(c.keys.size());
        for (size_t i = 0; i < c.keys.size() && i < d.keys.size(); ++i)
            d.keys[i] = c.keys[i];
        VTParticleSystem ps(nullptr, nullptr, nullptr, nullptr);
        EXPECT_FALSE(ps.Setup(&d)) << c.what;
        EXPECT_EQ(ps.SetupError(), c.error) << c.what;
        EXPECT_EQ(ps.Pool(), nullptr) << c.what;
        ps.Play();
        ps.Update(1.0f);
        EXPECT_TRUE(ps.Particles().empty()) << c.what;
    }
}

TEST(ParticleSystemSetup, AgeColourListGetsSortedKeysWithTheLastAt101)
{
    VTParticleSystemDesc d;
    ASSERT_TRUE(d.SetAgeColors({Key(0.5f, 0, 255, 0, 128), Key(0.0f, 255, 0, 0)}));
    ASSERT_EQ(d.keyCount, 2);
    EXPECT_EQ(d.keys[0].age, 0.0f);
    EXPECT_EQ(d.keys[0].color, Fw::Color(255, 0, 0, 255));
    EXPECT_EQ(d.keys[1].age, 1.01f);
    EXPECT_EQ(d.keys[1].color, Fw::Color(0, 255, 0, 128));

    EXPECT_FALSE(d.SetAgeColors(std::vector<VTColorAgeKey>(9, Key(0.0f, 9, 9, 9))));
    EXPECT_EQ(d.keyCount, 2) << "a refused list changes nothing";
    EXPECT_EQ(d.keys[1].age, 1.01f);

    ASSERT_TRUE(d.SetAgeColors({}));
    EXPECT_EQ(d.keyCount, 0);
}

TEST(ParticleSystemMotion, EmitsAtTheIntervalAndMovesStraightDownWithDecayingSpeed)
{
    const VTParticleSystemDesc d = Plain();
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    ps.Update(1.0f);
    EXPECT_TRUE(ps.Particles().empty()) << "inactive until played";

    ps.Play();
    ps.Update(0.25f);
    ASSERT_EQ(ps.Particles().size(), 2u);
    EXPECT_FLOAT_EQ(ps.Particles()[0]->age, 0.0f);
    EXPECT_FLOAT_EQ(ps.Particles()[1]->age, 0.1f);
    for (const VTParticle* p : ps.Particles()) {
        EXPECT_EQ(p->x, 100.0);
        EXPECT_EQ(p->y, 200.0);
    }

    // Second step of 0.1 s: friction left 0.9 of 1 s, so y += 0.9 * 100 * 0.1 + 0.1 * 20 = 11; the
    // remaining 0.05 s plus 0.1 s emit one more.
    ps.Update(0.1f);
    ASSERT_EQ(ps.Particles().size(), 3u);
    const VTParticle& first = *ps.Particles()[0];
    EXPECT_NEAR(first.x, 100.0, 1e-9);
    EXPECT_NEAR(first.y, 211.0, 1e-4);
    EXPECT_NEAR(first.size, 1.2f, 1e-5) << "size grows from 1 to 3 over the life";
    EXPECT_EQ(first.color, Fw::Color(255, 255, 255, 255)) << "no keys: white";
    EXPECT_FLOAT_EQ(ps.Particles()[2]->age, 0.0f);

    // The speed falls linearly: friction left 0.8 now, so 8 + 2 px this step.
    ps.Update(0.1f);
    EXPECT_NEAR(ps.Particles()[0]->y, 221.0, 1e-4);
}

TEST(ParticleSystemMotion, ParticlesDieAfterTheirLifeAndStopLetsThemExpire)
{
    const VTParticleSystemDesc d = Plain();
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    ps.Play();
    ps.Update(0.35f); // ages 0, 0.1, 0.2
    ASSERT_EQ(ps.Particles().size(), 3u);
    ps.Stop();
    ps.Update(0.85f); // ages 0.85, 0.95, 1.05: the oldest dies
    EXPECT_EQ(ps.Particles().size(), 2u);
    ps.Update(0.2f);
    EXPECT_TRUE(ps.Particles().empty());
    EXPECT_EQ(ps.Pool()->HandedOut(), 0) << "dead particles go back to the pool";
}

TEST(ParticleSystemMotion, LiveParticlesNeverExceedTheCapacityAndNeverLeaveTheBlock)
{
    VTParticleSystemDesc d = Plain();
    d.lifeTime = 100.0f; // capacity 1000
    d.emissionRate = 10.0f;
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    ps.Play();
    for (int i = 0; i < 30; ++i)
        ps.Update(5.0f);
    EXPECT_EQ(ps.Particles().size(), 1000u);
    EXPECT_EQ(ps.Pool()->Outside(), 0);
}

TEST(ParticleSystemMotion, ZeroFrictionOrLifeTimeNeverGivesNaN)
{
    VTParticleSystemDesc d = Plain();
    d.frictionTime = 0.0f;
    VTParticleSystem still(&d, nullptr, nullptr, nullptr);
    still.Play();
    still.Update(0.1f);
    ASSERT_EQ(still.Particles().size(), 1u);
    still.Update(0.5f);
    ASSERT_FALSE(still.Particles().empty());
    const VTParticle& p = *still.Particles()[0];
    EXPECT_EQ(p.x, 100.0);
    EXPECT_NEAR(p.y, 210.0, 1e-4) << "no start speed without a friction time: only the drift";

    // A life time of 0 written after setup (the capacity stays): the newborn particle dies at once.
    d = Plain();
    VTParticleSystem brief(&d, nullptr, nullptr, nullptr);
    brief.Desc().lifeTime = 0.0f;
    brief.Play();
    brief.Update(0.1f);
    ASSERT_EQ(brief.Particles().size(), 1u);
    EXPECT_EQ(brief.Particles()[0]->lifeTime, 0.0f);
    brief.Stop();
    brief.Update(0.0f);
    EXPECT_TRUE(brief.Particles().empty());
}

TEST(ParticleSystemColour, KeysInterpolateOverTheLife)
{
    VTParticleSystemDesc d = Plain();
    ASSERT_TRUE(d.SetAgeColors({Key(0.0f, 255, 0, 0), Key(0.5f, 0, 255, 0, 0)}));
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    ps.Play();
    ps.Update(0.1f);
    ASSERT_EQ(ps.Particles().size(), 1u);
    ps.Stop();
    ps.Update(0.505f); // t = 0.505 of 1.01: halfway
    const Fw::Color c = ps.Particles()[0]->color;
    EXPECT_EQ(c.red, 127);
    EXPECT_EQ(c.green, 127);
    EXPECT_EQ(c.alpha, 127);
}

TEST(ParticleSystemColour, UnvalidatedKeysKeepThePreviousColour)
{
    VTParticleSystemDesc d = Plain();
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    ps.Play();
    ps.Update(0.1f);
    // Keys written after setup without a key above t (the last at 0.5).
    ps.Desc().keyCount = 2;
    ps.Desc().keys[0] = Key(0.0f, 10, 20, 30);
    ps.Desc().keys[1] = Key(0.5f, 50, 60, 70);
    ps.Stop();
    ps.Update(0.8f);
    ASSERT_EQ(ps.Particles().size(), 1u);
    EXPECT_EQ(ps.Particles()[0]->color, Fw::Color(0, 0, 0, 0));
}

TEST(ParticleSystemEmitter, HalfDiscEmitsOnlyBelowThePosition)
{
    Fw::SeedRand(7);
    VTParticleSystemDesc d = Plain();
    d.emitterShape = VTParticleEmitter::HalfDisc;
    d.radius = 40.0f;
    d.emissionRate = 1024.0f; // an interval of exactly 1/1024 s
    VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
    ps.Play();
    ps.Update(0.5f);
    ASSERT_EQ(ps.Particles().size(), 512u);
    bool sawLeft = false, sawRight = false;
    for (const VTParticle* p : ps.Particles()) {
        EXPECT_GE(p->y, 200.0);
        EXPECT_LE(std::hypot(p->x - 100.0, p->y - 200.0), 40.0 + 1e-9);
        sawLeft |= p->x < 100.0;
        sawRight |= p->x > 100.0;
    }
    EXPECT_TRUE(sawLeft && sawRight);
}

TEST(ParticleSystemEmitter, SameSeedSameParticles)
{
    const VTParticleSystemDesc d = VTParticleSystemDesc::ScriptDefaults("");
    auto run = [&d] {
        Fw::SeedRand(1234);
        VTParticleSystem ps(&d, nullptr, nullptr, nullptr);
        ps.Play();
        ps.Update(0.2f);
        ps.Update(0.2f);
        std::vector<double> values;
        for (const VTParticle* p : ps.Particles())
            values.insert(values.end(), {p->x, p->y, p->size, p->lifeTime, p->startSpeed});
        return values;
    };
    const std::vector<double> a = run();
    EXPECT_GE(a.size(), 50u);
    EXPECT_EQ(a, run());
}

// A destination that records the stretch blits drawn into it.
class StretchRecorder : public Fw::Image {
public:
    StretchRecorder()
    {
        width = 1200;
        height = 900;
    }
    struct Call {
        Fw::Rect dest, src, clip;
        Fw::Color color;
    };
    void StretchBlt(Fw::Image*, const Fw::Rect& destRect, const Fw::Rect& srcRect, const Fw::Rect& clip,
                    const Fw::Color& color, int32_t, bool) override
    {
        calls.push_back({destRect, srcRect, clip, color});
    }
    std::vector<Call> calls;
};

TEST(ParticleSystemDraw, DrawsColourisedStretchedImagesAndLeavesColourAndClip)
{
    TestSupport::FakeImageServices services;
    services.Add("fx_dot", 4, 6, 0xFFFFFFFF);
    VTTextureCatalogue catalogue(services);

    VTParticleSystemDesc d = Plain();
    d.startSize = d.endSize = 2.0f; // 8 x 12 around the position
    d.positionX = 20.0f;
    d.positionY = 30.0f;
    d.driftY = 0.0;
    d.startSpeed = 0.0f;
    d.textureName = "fx_dot";
    ASSERT_TRUE(d.SetAgeColors({Key(0.0f, 255, 0, 0, 200), Key(1.0f, 255, 0, 0, 200)}));
    VTParticleSystem ps(&d, nullptr, nullptr, &catalogue);
    ps.Play();
    ps.Update(0.1f);
    ps.Stop();
    ps.Update(0.0f); // colour and size of the newborn particle

    StretchRecorder screen;
    Fw::Graphics g(&screen);
    g.SetColorizeImages(false);
    ps.Draw(g);

    ASSERT_EQ(screen.calls.size(), 1u);
    const StretchRecorder::Call& call = screen.calls[0];
    EXPECT_EQ(call.dest, Fw::Rect(16, 24, 8, 12));
    EXPECT_EQ(call.src, Fw::Rect(0, 0, 4, 6));
    EXPECT_EQ(call.clip, Fw::Rect(0, 0, 1024, 768));
    EXPECT_EQ(call.color, Fw::Color(255, 0, 0, 200)) << "colourised with the particle colour";
    EXPECT_EQ(g.GetColor(), Fw::Color(255, 0, 0, 200));
    EXPECT_EQ(g.clipRect, Fw::Rect(0, 0, 1024, 768));
    EXPECT_FALSE(g.GetColorizeImages());
}

TEST(ParticleSystemDraw, MissingImageSimulatesButDrawsNothing)
{
    TestSupport::FakeImageServices services;
    VTTextureCatalogue catalogue(services);
    VTParticleSystemDesc d = Plain();
    d.textureName = "absent";
    VTParticleSystem ps(&d, nullptr, nullptr, &catalogue);
    ps.Play();
    ps.Update(0.3f);
    EXPECT_EQ(ps.Particles().size(), 3u);
    Fw::MemoryImage canvas(nullptr);
    canvas.Create(8, 8);
    Fw::Graphics g(&canvas);
    const Fw::Color before = g.GetColor();
    ps.Draw(g);
    EXPECT_EQ(g.GetColor(), before);
}

TEST(ParticleSystemRegistry, SystemsUpdateThroughTheirOwnersKeyOnly)
{
    VTParticleSystemRegistry registry;
    const int owner = 0;
    const VTParticleSystemDesc d = Plain();
    auto ps = std::make_unique<VTParticleSystem>(&d, &owner, &registry, nullptr);
    ps->Play();
    EXPECT_EQ(registry.Count(&owner), 1u);
    EXPECT_EQ(registry.Count(ps.get()), 0u);

    registry.UpdateByOwner(ps.get(), 0.25f);
    EXPECT_TRUE(ps->Particles().empty()) << "not under its own address";
    registry.UpdateByOwner(&owner, 0.25f);
    EXPECT_EQ(ps->Particles().size(), 2u);

    ps.reset();
    EXPECT_EQ(registry.Size(), 0u) << "the destructor leaves the registry";
}

TEST(ParticleSystemRegistry, ResetAllStopsAndEmptiesEverySystem)
{
    VTParticleSystemRegistry registry;
    const int ownerA = 0, ownerB = 0;
    const VTParticleSystemDesc d = Plain();
    VTParticleSystem a(&d, &ownerA, &registry, nullptr);
    VTParticleSystem b(&d, &ownerB, &registry, nullptr);
    a.Play();
    b.Play();
    registry.UpdateByOwner(&ownerA, 0.5f);
    registry.UpdateByOwner(&ownerB, 0.5f);
    ASSERT_FALSE(a.Particles().empty());
    registry.ResetAll();
    for (const VTParticleSystem* ps : {&a, &b}) {
        EXPECT_FALSE(ps->IsActive());
        EXPECT_TRUE(ps->Particles().empty());
    }
    registry.UpdateByOwner(&ownerA, 1.0f);
    EXPECT_TRUE(a.Particles().empty());
}

TEST(ParticleSystemRegistry, DestroyByOwnerDeletesOnlyThatOwnersSystems)
{
    VTParticleSystemRegistry registry;
    const int effect = 0, other = 0;
    const VTParticleSystemDesc d = Plain();
    new VTParticleSystem(&d, &effect, &registry, nullptr);
    new VTParticleSystem(&d, &effect, &registry, nullptr);
    VTParticleSystem kept(&d, &other, &registry, nullptr);
    registry.DestroyByOwner(&effect);
    EXPECT_EQ(registry.Count(&effect), 0u);
    EXPECT_EQ(registry.Count(&other), 1u);
    registry.Remove(&other);
    EXPECT_EQ(registry.Size(), 0u);
}

TEST(ParticleSystemRegistry, ASystemOutlivingItsRegistryForgetsIt)
{
    const VTParticleSystemDesc d = Plain();
    auto registry = std::make_unique<VTParticleSystemRegistry>();
    VTParticleSystem ps(&d, nullptr, registry.get(), nullptr);
    registry.reset();
    ps.Play();
    ps.Update(0.1f); // and the destructor then touches no registry (the sanitizer would tell)
    EXPECT_EQ(ps.Particles().size(), 1u);
}

} // namespace
