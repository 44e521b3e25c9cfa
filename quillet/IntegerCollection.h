#pragma once
#include <vector>

#include "quillet/Collection.h"

namespace quillet {

// Ordered list of whole numbers with 1-based positions (the BY… lists of a rule).
class IntegerCollection {
public:
    IntegerCollection() = default;
    IntegerCollection(std::initializer_list<int> v) : items_(v) {}

    int Count() const { return static_cast<int>(items_.size()); }
    bool Empty() const { return items_.empty(); }

    int Item(int index) const {
        if (index < 1 || index > Count()) ThrowSubscript("IntegerCollection");
        return items_[static_cast<size_t>(index - 1)];
    }

    void Add(int v) { items_.push_back(v); }
    void Remove(int index) {
        if (index < 1 || index > Count()) ThrowSubscript("IntegerCollection");
        items_.erase(items_.begin() + (index - 1));
    }
    void Clear() { items_.clear(); }

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }
    const std::vector<int>& Items() const { return items_; }

    bool operator==(const IntegerCollection&) const = default;

private:
    std::vector<int> items_;
};

}  // namespace quillet
