#pragma once
#include <memory>
#include <vector>

#include "quillet/LibraryError.h"

namespace quillet {

[[noreturn]] inline void ThrowSubscript(const char* source) {
    throw LibraryError(kErrSubscript, source, "Subscript out of range");
}

// Ordered list of shared objects with 1-based positions, the shape of every collection here.
template <typename T>
class Collection {
public:
    using Ptr = std::shared_ptr<T>;

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    const Ptr& Item(int index) const {
        if (index < 1 || index > Count()) ThrowSubscript("Collection");
        return items_[static_cast<size_t>(index - 1)];
    }

    void Add(Ptr item) { items_.push_back(std::move(item)); }
    void AddRaw(Ptr item) { items_.push_back(std::move(item)); }

    void Remove(int index) {
        if (index < 1 || index > Count()) ThrowSubscript("Collection");
        items_.erase(items_.begin() + (index - 1));
    }

    // Removes the very same object (identity, not equal content); no-op when absent.
    bool RemoveObject(const T* item) {
        for (auto it = items_.begin(); it != items_.end(); ++it) {
            if (it->get() == item) {
                items_.erase(it);
                return true;
            }
        }
        return false;
    }

    void Clear() { items_.clear(); }
    void Reserve(size_t n) { items_.reserve(n); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    std::vector<Ptr>& Items() { return items_; }
    const std::vector<Ptr>& Items() const { return items_; }

private:
    std::vector<Ptr> items_;
};

}  // namespace quillet
