// The part of a selector that names one widget: its class (a template name included, as in
// X<T>), its style name and its id. An empty symbol means "any".
#pragma once

#include "GP/Symbol.h"

#include <string>

namespace QV::PXT {

class Widget;

class ClassSelector {
public:
    void set(const std::string& className, const std::string& style, const std::string& id);

    // The empty class, the same class, or the class X for a widget class X<...>.
    bool doesClassIDapply(const std::string& widgetClass) const;
    // The id, the style and the class test on `widget`, in that order.
    bool doesIdentityApply(const Widget& widget) const;

    qv::symbol getClass() const { return m_class; }
    qv::symbol getStyle() const { return m_style; }
    qv::symbol getId() const { return m_id; }
    // 0x1000000 for an id, 0x10000 for a style, 1 for a class.
    unsigned getSpecifity() const;

private:
    qv::symbol m_class;
    qv::symbol m_style;
    qv::symbol m_id;
};

}  // namespace QV::PXT
