#include "PXT/Property.h"

namespace QV::PXT {

namespace {
const bool s_true = true;
const bool s_false = false;
}  // namespace

const bool* Property::getBoolValue() const
{
    if (const bool* value = std::get_if<bool>(&m_value))
        return value;
    if (m_unit == eUnitNone) {
        if (const int* value = std::get_if<int>(&m_value))
            return *value != 0 ? &s_true : &s_false;
        if (const unsigned* value = std::get_if<unsigned>(&m_value))
            return *value != 0 ? &s_true : &s_false;
    }
    if (m_unit == eUnitString) {
        if (const std::string* value = std::get_if<std::string>(&m_value)) {
            if (*value == "yes" || *value == "true")
                return &s_true;
            if (*value == "no" || *value == "false")
                return &s_false;
        }
    }
    return nullptr;
}

bool Property::isNo() const
{
    const std::string* value = std::get_if<std::string>(&m_value);
    return m_unit == eUnitString && value && *value == "no";
}

}  // namespace QV::PXT
