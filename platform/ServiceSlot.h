// The pieces every platform service shares: the slot that holds the implementation a test
// installed (the real one serves while it is empty), and the scope guard tests install one with.
#pragma once
#include <atomic>

namespace Platform {

template <class Service>
class ServiceSlot {
public:
    // The installed service, else real.
    Service& Get(Service& real) const
    {
        Service* s = installed_.load(std::memory_order_acquire);
        return s ? *s : real;
    }
    // Installs service (nullptr or real empties the slot); returns the one installed before.
    Service* Exchange(Service* service, const Service* real)
    {
        return installed_.exchange(service == real ? nullptr : service, std::memory_order_acq_rel);
    }

private:
    std::atomic<Service*> installed_{nullptr};
};

// Installs a service for the lifetime of the object and restores the previous one (tests).
template <class Service, Service* (*Install)(Service*)>
class ScopedService {
public:
    explicit ScopedService(Service& service) : previous_(Install(&service)) {}
    ~ScopedService() { Install(previous_); }
    ScopedService(const ScopedService&) = delete;
    ScopedService& operator=(const ScopedService&) = delete;

private:
    Service* previous_;
};

} // namespace Platform
