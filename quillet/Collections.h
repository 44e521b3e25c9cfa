#pragma once
#include <memory>
#include <string>

#include "quillet/Cal_Address.h"
#include "quillet/Collection.h"
#include "quillet/Date_Time.h"
#include "quillet/PropertyEntry.h"
#include "quillet/Recur.h"
#include "quillet/Text.h"
#include "quillet/URI.h"

namespace quillet {

class TextCollection : public Collection<Text> {
public:
    using Collection<Text>::Add;
    std::shared_ptr<Text> Add(std::string value) {
        auto t = std::make_shared<Text>(std::move(value));
        Collection<Text>::Add(t);
        return t;
    }
};

class Cal_AddressCollection : public Collection<Cal_Address> {
public:
    using Collection<Cal_Address>::Add;
    std::shared_ptr<Cal_Address> Add(std::string value) {
        auto a = std::make_shared<Cal_Address>(std::move(value));
        Collection<Cal_Address>::Add(a);
        return a;
    }
};

using URICollection = Collection<URI>;
using Date_TimeCollection = Collection<Date_Time>;
using RecurCollection = Collection<Recur>;
using XPropList = Collection<PropertyEntry>;

}  // namespace quillet
