// A wizard with scripted device callbacks, and lookups into its widget tree by id.
#pragma once

#include "PXT/Button.h"
#include "PXT/Label.h"
#include "PXT/MultilineLabel.h"
#include "PXT/Widget.h"
#include "Updater/SpinningProgressWheel.h"
#include "Updater/UpdateWizardMainWidget.h"
#include "Updater/WizardWidgetNames.h"

#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace QV::TEST {

inline void collectWidgets(const PXT::Widget& root, const std::string& id, std::vector<PXT::Widget*>& out)
{
    for (const auto& child : root.getChildren()) {
        if (child->getId() == id)
            out.push_back(child.get());
        collectWidgets(*child, id, out);
    }
}

// The n-th widget (depth first, in insertion order) under `root` with the id; null when none.
inline PXT::Widget* findWidget(const PXT::Widget& root, const std::string& id, std::size_t n = 0)
{
    std::vector<PXT::Widget*> found;
    collectWidgets(root, id, found);
    return n < found.size() ? found[n] : nullptr;
}

// The attribute's value, "(unset)" when the widget has none.
inline std::string attribute(const PXT::Widget& widget, const std::string& name)
{
    auto it = widget.getAttributes().find(name);
    return it == widget.getAttributes().end() ? "(unset)" : it->second;
}

// A controller as the wizard's callbacks see it. Every call is logged; the connect answers come
// from their queues first, then from the steady values.
struct ScriptedDevice {
    bool connected = false;     // connectInNormalMode once its queue is empty
    bool resetWorks = true;     // resetIntoUpdateMode once its queue is empty
    bool inUpdateMode = false;  // connectInUpdateMode
    std::deque<bool> normalAnswers;
    bool workerStarts = true;
    std::string serial = "VDX-000123";
    std::string installed = "32 / 0x66";
    std::string newest = "33 / 0x67";
    bool updateNeeded = true;

    std::vector<std::string> calls;
    std::atomic<int>* result = nullptr;

    static bool next(std::deque<bool>& answers, bool steady)
    {
        if (answers.empty())
            return steady;
        const bool answer = answers.front();
        answers.pop_front();
        return answer;
    }

    // The five wizard callbacks bound to this script.
    void runWizard(UpdateWizardMainWidget& wizard)
    {
        wizard.run(
            [this] {
                calls.push_back("normal");
                return next(normalAnswers, connected);
            },
            [this] {
                calls.push_back("reset");
                return resetWorks;
            },
            [this] {
                calls.push_back("update-mode");
                return inUpdateMode;
            },
            [this](std::atomic<int>& r) {
                calls.push_back("perform");
                result = &r;
                r = workerStarts ? 0 : -1;
                return workerStarts;
            },
            [this](DVK2::USBDeviceInfo& info, std::string& installedText, std::string& newestText, bool& needed) {
                calls.push_back("info");
                newestText = newest;
                if (!connected)
                    return;
                info.serialNumber = serial;
                installedText = installed;
                needed = updateNeeded;
            });
    }
    std::vector<std::string> takeCalls()
    {
        std::vector<std::string> taken;
        taken.swap(calls);
        return taken;
    }
};

inline std::shared_ptr<UpdateWizardMainWidget>
makeWizard(const std::string& applicationTitle = "VARDOLIN STUDIO UPDATER")
{
    return std::make_shared<UpdateWizardMainWidget>(tWizardTexts{"Vardolin Studio",
                                                                 "VDX",
                                                                 "VDX Updater",
                                                                 applicationTitle,
                                                                 "(c) 2026 Orvendal",
                                                                 "1.1.0 (R147)",
                                                                 {"Ann", "Bo", "Cy", "Di", ""}});
}

// Typed access to the widgets that the pages change.
struct WizardView {
    explicit WizardView(const UpdateWizardMainWidget& w) : wizard(w) {}

    template <class T>
    T& get(const std::string& id, std::size_t n = 0) const
    {
        PXT::Widget* widget = findWidget(wizard, id, n);
        if (!widget)
            throw std::runtime_error("no widget " + id);
        return dynamic_cast<T&>(*widget);
    }
    PXT::Button& action() const { return get<PXT::Button>(WizardNames::kActionButton); }
    PXT::Button& quit() const { return get<PXT::Button>(WizardNames::kQuitButton); }
    PXT::Bar& infoPanel() const { return get<PXT::Bar>(WizardNames::kInfoPanel); }
    PXT::Label& infoIcon() const { return get<PXT::Label>(WizardNames::kInfoPanelIcon); }
    PXT::MultilineLabel& infoText() const { return get<PXT::MultilineLabel>(WizardNames::kInfoPanelLabel); }
    SpinningProgressWheel& wheel() const { return get<SpinningProgressWheel>(WizardNames::kSpinningWheel); }
    PXT::Label& deviceOverlay() const { return get<PXT::Label>(WizardNames::kDeviceImageOverlay); }
    PXT::Button& overlay() const { return get<PXT::Button>(WizardNames::kOverlay); }
    // Rows 0 newest, 1 installed, 2 serial number.
    PXT::Label& value(std::size_t row) const
    {
        return dynamic_cast<PXT::Label&>(
            *findWidget(get<PXT::Bar>(WizardNames::kRevisionsRow, row), WizardNames::kRowValue));
    }

    const UpdateWizardMainWidget& wizard;
};

}  // namespace QV::TEST
