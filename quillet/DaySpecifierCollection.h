#pragma once
#include <memory>

#include "quillet/Collection.h"
#include "quillet/DaySpecifier.h"

namespace quillet {

class DaySpecifierCollection : public Collection<DaySpecifier> {
public:
    using Collection<DaySpecifier>::Add;
    std::shared_ptr<DaySpecifier> Add(int vDayOfWeek, int vNum) {
        auto d = std::make_shared<DaySpecifier>(vDayOfWeek, vNum);
        Collection<DaySpecifier>::Add(d);
        return d;
    }
};

}  // namespace quillet
