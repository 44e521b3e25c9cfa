#pragma once
#include <memory>

#include "quillet/LibraryError.h"

namespace quillet {

constexpr long kErrWeakReference = -2147221504L;

// A non-owning link that every back link of a calendar shares, so one Destroy cuts them all.
template <typename T>
class WeakReference {
public:
    void Initialize(const std::shared_ptr<T>& target) {
        if (!target) Fail("Target cannot be Nothing.");
        if (initialized_) Fail("Target has already been set.");
        target_ = target;
        initialized_ = true;
    }

    std::shared_ptr<T> Target() const {
        auto t = target_.lock();
        if (!t) Fail("Target object has terminated.");
        return t;
    }

    void Destroy() { target_.reset(); }
    bool IsAlive() const { return !target_.expired(); }

private:
    [[noreturn]] static void Fail(const char* what) {
        throw LibraryError(kErrWeakReference, "WeakReference", what);
    }
    std::weak_ptr<T> target_;
    bool initialized_ = false;
};

}  // namespace quillet
