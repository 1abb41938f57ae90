// One row of a form: a control and its caption side by side in a bar whose height follows the
// taller of the two.
#pragma once

#include "PXT/Bar.h"
#include "PXT/Label.h"
#include "Updater/WizardWidgetNames.h"

#include <memory>
#include <string>

namespace QV::GUI {

// `control` receives the new control (id WizardNames::kRowValue, empty text, style `controlStyle`); the caption
// is a Label (id WizardNames::kRowLabel). The caller inserts the returned bar under its own id.
template <class T>
std::shared_ptr<PXT::Bar> createControlWithLabel(std::shared_ptr<T>& control, const std::string& controlStyle,
                                                 const std::string& labelStyle, const std::string& labelText)
{
    auto bar = std::make_shared<PXT::Bar>();
    bar->styleBreadthMax();
    bar->style(PXT::eArrangeLeftToRight, nullptr);
    control = std::make_shared<T>();
    bar->insertChild(control, WizardNames::kRowValue);
    control->style("", controlStyle.c_str());
    auto label = std::make_shared<PXT::Label>();
    bar->insertChild(label, WizardNames::kRowLabel);
    label->style(labelText, labelStyle.c_str());
    return bar;
}

}  // namespace QV::GUI
