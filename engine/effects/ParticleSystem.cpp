// Particle setup, simulation, emission and drawing. The order of the generator draws at a birth is
// fixed (speed, sizes, life time, emitter offset, direction), so a seeded demo replays the same
// particles.
#include "engine/effects/ParticleSystem.h"

#include "engine/core/TextureCatalogue.h"
#include "engine/effects/EffectParticles.h"
#include "engine/effects/ParticleSystemRegistry.h"
#include "framework/core/Rand15.h"
#include "framework/core/SaturatingTrunc.h"
#include "framework/graphics/Graphics.h"
#include "framework/graphics/MemoryImage.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// The screen the particle draw clips to (the game's fixed 1024 x 768).
constexpr Fw::Rect kParticleClip{0, 0, 1024, 768};
// Ceiling of the particle capacity: a rate and life time beyond any real effect must not make the
// pool allocate without bound.
constexpr int32_t kMaxCapacity = 65536;
constexpr float kPi = 3.1415927f;
constexpr float kDegToRad = 0.017453292f;

float RandUnit() { return static_cast<float>(Fw::Rand()) / static_cast<float>(Fw::kRandMax); }

} // namespace

VTParticleSystem::VTParticleSystem(const VTParticleSystemDesc* desc, const void* owner,
                                   VTParticleSystemRegistry* registry, VTTextureCatalogue* catalogue)
    : registry_(registry), catalogue_(catalogue)
{
    Setup(desc);
    if (registry_)
        registry_->Add(owner ? owner : this, this);
}

VTParticleSystem::VTParticleSystem(const VTParticleSystemDesc* desc, const void* owner)
    : VTParticleSystem(desc, owner, GetEffectParticleRegistry(), GetEffectTextureCatalogue())
{
}

VTParticleSystem::~VTParticleSystem()
{
    if (registry_)
        registry_->RemoveSystem(this);
    ReturnAllParticles();
    pool_.reset();
    image_.Release();
}

void VTParticleSystem::ReturnAllParticles()
{
    if (pool_) {
        for (VTParticle* p : particles_)
            pool_->Free(p);
    }
    particles_.clear();
}

bool VTParticleSystem::Setup(const VTParticleSystemDesc* desc)
{
    if (!desc)
        return true;
    ReturnAllParticles();
    pool_.reset();
    image_.Release();
    accumulator_ = 0.0f;
    setupError_.clear();

    desc_ = *desc;
    if (desc_.keyCount != 0) {
        const int32_t last = desc_.keyCount - 1;
        if (desc_.keyCount < 2)
            setupError_ = "ERROR: [PS: ] age color count less than 2 !..";
        else if (desc_.keyCount > VTParticleSystemDesc::kMaxKeys)
            setupError_ = "ERROR: [PS: ] age color count greater than 8 !..";
        else if (!(desc_.keys[0].age <= 0.0f))
            setupError_ = "ERROR: [PS: ] first color age must be equal to 0!..";
        else if (!(desc_.keys[static_cast<size_t>(last)].age > 1.0f))
            setupError_ = "ERROR: [PS: ] last color age must be greater than 1!..";
        if (!setupError_.empty())
            return false;
    }

    const float product = desc_.emissionRate * desc_.lifeTime;
    const float ceiling = std::ceil(product);
    desc_.capacity = ceiling > 0.0f ? (ceiling < kMaxCapacity ? static_cast<int32_t>(ceiling) : kMaxCapacity) : 0;

    particles_.reserve(static_cast<size_t>(desc_.capacity));
    pool_ = std::make_unique<VTParticlePool>(desc_.capacity + 1);

    if (!desc_.textureName.empty() && catalogue_)
        image_ = catalogue_->GetImage(desc_.textureName, true);
    return true;
}

void VTParticleSystem::UpdateColor(VTParticle& p, float t) const
{
    if (desc_.keyCount == 0) {
        p.color = Fw::Color(255, 255, 255, 255);
        return;
    }
    // Keys written without validation may lack a key on either side of t: the colour then stays.
    const int32_t count = std::min(desc_.keyCount, VTParticleSystemDesc::kMaxKeys);
    for (int32_t i = std::max(p.keyIndex, 0); i < count; ++i) {
        const VTColorAgeKey& next = desc_.keys[static_cast<size_t>(i)];
        if (!(next.age > t))
            continue;
        if (i == 0)
            return;
        const VTColorAgeKey& previous = desc_.keys[static_cast<size_t>(i - 1)];
        const float span = next.age - previous.age;
        if (!(span > 0.0f))
            return;
        const float f = (t - previous.age) / span;
        auto mix = [f](int32_t a, int32_t b) {
            return Fw::SaturatingTrunc(a + f * static_cast<float>(b - a));
        };
        p.color = Fw::Color(mix(previous.color.red, next.color.red), mix(previous.color.green, next.color.green),
                            mix(previous.color.blue, next.color.blue), mix(previous.color.alpha, next.color.alpha));
        p.keyIndex = i;
        return;
    }
}

void VTParticleSystem::Update(float seconds)
{
    size_t i = 0;
    while (i < particles_.size()) {
        VTParticle& p = *particles_[i];
        p.age += seconds;
        // A life time of 0 (or less) ends the particle at once: t = age / life time has no value.
        if (p.lifeTime > 0.0f && p.lifeTime >= p.age) {
            p.frictionLeft = std::max(p.frictionLeft - seconds, 0.0f);
            const float t = p.age / p.lifeTime;
            // Without a friction time the start speed has already decayed: only the drift moves.
            const float speedLeft = desc_.frictionTime > 0.0f ? p.frictionLeft / desc_.frictionTime : 0.0f;
            p.x += speedLeft * p.startSpeed * p.directionX * seconds;
            p.x += seconds * desc_.driftX;
            p.y += speedLeft * p.startSpeed * p.directionY * seconds;
            p.y += seconds * desc_.driftY;
            UpdateColor(p, t);
            p.size = p.startSize + (p.endSize - p.startSize) * t;
            ++i;
            continue;
        }
        // Dead: the last particle takes its place and is processed next.
        VTParticle* dead = particles_[i];
        particles_[i] = particles_.back();
        particles_.pop_back();
        if (pool_)
            pool_->Free(dead);
    }
    if (active_) {
        accumulator_ += seconds;
        Emit();
    }
}

float VTParticleSystem::Randomised(float value) const
{
    const float r = 2.0f * static_cast<float>(Fw::Rand()) / static_cast<float>(Fw::kRandMax) - 1.0f;
    return value + desc_.randomFactor * value * r;
}

void VTParticleSystem::Emit()
{
    if (!pool_ || !(desc_.emissionRate > 0.0f))
        return;
    const float interval = 1.0f / desc_.emissionRate;
    const float due = accumulator_ / interval;
    if (!(due >= 1.0f))
        return;
    const int32_t n = due < static_cast<float>(kMaxCapacity) ? static_cast<int32_t>(due) : kMaxCapacity;
    const int32_t flags = desc_.randomFlags;
    for (int32_t k = 0; k < n; ++k) {
        if (static_cast<int32_t>(particles_.size()) >= desc_.capacity || pool_->BlockExhausted())
            break;
        VTParticle* p = pool_->Alloc();
        p->startSpeed = (flags & VTParticleRandom::StartSpeed) ? Randomised(desc_.startSpeed) : desc_.startSpeed;
        p->startSize = (flags & VTParticleRandom::StartSize) ? Randomised(desc_.startSize) : desc_.startSize;
        p->endSize = (flags & VTParticleRandom::EndSize) ? Randomised(desc_.endSize) : desc_.endSize;
        p->lifeTime = (flags & VTParticleRandom::LifeTime) ? Randomised(desc_.lifeTime) : desc_.lifeTime;

        p->x = Fw::SaturatingTrunc(desc_.positionX);
        p->y = Fw::SaturatingTrunc(desc_.positionY);
        p->age = static_cast<float>(k) * interval;
        p->color = Fw::Color(0, 0, 0, 0);
        p->size = 0.0f;
        p->keyIndex = 0;
        p->frictionLeft = desc_.frictionTime;

        if (desc_.emitterShape == VTParticleEmitter::Rectangle) {
            const float w = Randomised(desc_.rectWidth);
            p->x += Fw::SaturatingTrunc(w - 0.5f * desc_.rectWidth);
            const float h = Randomised(desc_.rectHeight);
            p->y += Fw::SaturatingTrunc(h - 0.5f * desc_.rectHeight);
        } else if (desc_.emitterShape == VTParticleEmitter::HalfDisc) {
            // a in [0, pi]: sin(a) >= 0, so only the half below the position.
            const float a = static_cast<float>(Fw::Rand()) * kPi / static_cast<float>(Fw::kRandMax);
            const float r = static_cast<float>(Fw::Rand()) * desc_.radius / static_cast<float>(Fw::kRandMax);
            p->x += Fw::SaturatingTrunc(std::cos(a) * r);
            p->y += Fw::SaturatingTrunc(std::sin(a) * r);
        }

        const float degrees = (RandUnit() - 0.5f) * desc_.angleSpread + desc_.baseAngle;
        const float radians = degrees * kDegToRad;
        p->directionX = -std::sin(radians);
        p->directionY = std::cos(radians);

        particles_.push_back(p);
        accumulator_ -= interval;
    }
}

void VTParticleSystem::Draw(Fw::Graphics& g)
{
    if (particles_.empty())
        return;
    Fw::MemoryImage* image = image_.GetImage();
    if (!image)
        return;
    const int32_t w = image->GetWidth();
    const int32_t h = image->GetHeight();
    const bool colorize = g.GetColorizeImages();
    for (const VTParticle* p : particles_) {
        const int32_t dw = Fw::SaturatingTrunc(w * p->size);
        const int32_t dh = Fw::SaturatingTrunc(h * p->size);
        const int32_t x = Fw::SaturatingTrunc(p->x - dw * 0.5);
        const int32_t y = Fw::SaturatingTrunc(p->y - dh * 0.5);
        g.SetColor(p->color);
        g.SetClipRect(kParticleClip.x, kParticleClip.y, kParticleClip.width, kParticleClip.height);
        g.SetColorizeImages(true);
        g.DrawImage(image, Fw::Rect(x, y, dw, dh), Fw::Rect(0, 0, w, h));
        g.SetColorizeImages(colorize);
    }
}

void VTParticleSystem::Stop()
{
    active_ = false;
    accumulator_ = 0.0f;
}

void VTParticleSystem::Reset()
{
    accumulator_ = 0.0f;
    active_ = false;
    ReturnAllParticles();
}
