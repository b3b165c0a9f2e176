#include "engine/effects/ParticlePool.h"

#include <algorithm>
#include <functional>

VTParticlePool::VTParticlePool(int32_t capacity)
    : capacity_(std::max(capacity, 0)), block_(std::make_unique<VTParticle[]>(static_cast<size_t>(capacity_)))
{
    free_.reserve(static_cast<size_t>(capacity_));
    for (int32_t i = 0; i < capacity_; ++i)
        free_.push_back(&block_[static_cast<size_t>(i)]);
}

VTParticlePool::~VTParticlePool() = default;

VTParticle* VTParticlePool::Alloc()
{
    if (handedOut_ < capacity_)
        return free_[static_cast<size_t>(handedOut_++)];
    ++outside_;
    return new VTParticle();
}

void VTParticlePool::Free(VTParticle* item)
{
    if (!item)
        return;
    if (InBlock(item)) {
        *item = VTParticle();
        free_[static_cast<size_t>(--handedOut_)] = item;
        return;
    }
    delete item;
    --outside_;
}

bool VTParticlePool::InBlock(const VTParticle* item) const
{
    // std::less gives a total order over pointers that need not share an array.
    const VTParticle* first = block_.get();
    const VTParticle* end = first + capacity_;
    return !std::less<const VTParticle*>()(item, first) && std::less<const VTParticle*>()(item, end);
}
