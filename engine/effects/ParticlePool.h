// Fixed block of particles for one system: emission and death take and return slots without
// allocating. Beyond the block, items come from the heap (counted) so a caller never gets null.
#pragma once
#include "engine/effects/Particle.h"

#include <cstdint>
#include <memory>
#include <vector>

class VTParticlePool {
public:
    explicit VTParticlePool(int32_t capacity);
    ~VTParticlePool();
    VTParticlePool(const VTParticlePool&) = delete;
    VTParticlePool& operator=(const VTParticlePool&) = delete;

    // The next free block slot, or a new heap item once the block is all handed out.
    VTParticle* Alloc();
    // A block slot goes back to the free list; a heap item is deleted.
    void Free(VTParticle* item);

    int32_t Capacity() const { return capacity_; }
    int32_t HandedOut() const { return handedOut_; }
    int32_t Outside() const { return outside_; }
    bool BlockExhausted() const { return handedOut_ >= capacity_; }

private:
    bool InBlock(const VTParticle* item) const;

    int32_t capacity_;
    int32_t handedOut_ = 0;
    int32_t outside_ = 0;
    std::unique_ptr<VTParticle[]> block_;
    std::vector<VTParticle*> free_; // free_[handedOut_ ..] are the free slots
};
