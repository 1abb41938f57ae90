// One declaration of a stylesheet: a typed value, the property name and a unit. The string "no"
// with the unit string is the explicit "none" of every property.
#pragma once

#include "GP/Point.h"
#include "GP/Symbol.h"
#include "PXT/LazyPicture.h"

#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace QV::UIA {
class Font;
}

namespace QV::PXT {

class Property {
public:
    // Alternatives numbered as the style system counts them: 0 empty, 1 float, 2 unsigned, 3 int,
    // 4 bool, 5 string, 6 font, 7 point, 8 picture.
    using tValue =
        std::variant<std::monostate, float, unsigned, int, bool, std::string, const UIA::Font*, GP::Point, LazyPicture>;

    enum eUnit : int {
        eUnitNone = 0,
        eUnitPx = 1,
        eUnitPercent = 2,
        eUnitBool = 3,
        eUnitURL = 4,
        eUnitString = 5,
        eUnitColor = 6,
        eUnitFont = 7,
        eUnitPicture = 8,
        eUnitPoint = 9,
    };

    Property() = default;
    Property(tValue value, qv::symbol name, eUnit unit) : m_value(std::move(value)), m_name(name), m_unit(unit) {}
    // A single alternative's value goes straight into the variant: no temporary variant to move
    // from and destroy (whose destruction GCC cannot follow and warns about).
    template <typename T, typename = std::enable_if_t<!std::is_same_v<std::decay_t<T>, tValue>>>
    Property(T&& value, qv::symbol name, eUnit unit) : m_value(std::forward<T>(value)), m_name(name), m_unit(unit)
    {}

    const tValue& getValue() const { return m_value; }
    qv::symbol getName() const { return m_name; }
    eUnit getUnit() const { return m_unit; }

    // A bool itself; an int or unsigned of unit 0 (true when not 0); a string of unit 5 that reads
    // yes/true or no/false. Null for anything else.
    const bool* getBoolValue() const;
    // The explicit "none": the string "no" with the unit string.
    bool isNo() const;

private:
    tValue m_value;
    qv::symbol m_name;
    eUnit m_unit = eUnitNone;
};

}  // namespace QV::PXT
