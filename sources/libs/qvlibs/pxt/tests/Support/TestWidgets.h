// Widgets for the toolkit's tests: any class name, an optional orientation (as a Bar's), and a
// tree built from a path of simple descriptions.
#pragma once

#include "PXT/PaintContext.h"
#include "PXT/PanelDrawer.h"
#include "PXT/Pane.h"
#include "PXT/StyleParser2.h"
#include "PXT/Widget.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace QV::PXT::TEST {

class TestWidget : public Widget {
public:
    explicit TestWidget(std::string className, std::optional<bool> horizontal = std::nullopt)
        : m_class(std::move(className)), m_horizontal(horizontal)
    {}
    const std::string& getClass() const override { return m_class; }
    std::optional<bool> getHorizontalOrientation() const override { return m_horizontal; }

private:
    std::string m_class;
    std::optional<bool> m_horizontal;
};

// A widget painted from the stylesheet: its panel, then its text (when it has one).
class PanelWidget : public TestWidget {
public:
    using TestWidget::TestWidget;
    void onPaint(PaintContext& context) override
    {
        ++m_paints;
        m_drawer.drawPanelItem(*this, context);
        if (!m_text.empty())
            m_drawer.drawTextItem(*this, m_text, context, m_rotation);
    }

    std::string m_text;
    eTextRotation m_rotation = eRotationNone;
    PanelDrawer m_drawer;
    int m_paints = 0;
};

// A chain of widgets, root first. Each description is "Class", "Class.style", "Class#id" or
// "Class.style#id". With a pane, the first widget becomes the pane's root.
struct tChain {
    std::vector<std::shared_ptr<TestWidget>> widgets;

    const TestWidget& leaf() const { return *widgets.back(); }
    TestWidget& leaf() { return *widgets.back(); }
};

inline tChain makeChain(const std::string& path, Pane* pane = nullptr)
{
    tChain chain;
    std::istringstream words(path);
    std::string word;
    while (words >> word) {
        const std::size_t hash = word.find('#');
        const std::string id = hash == std::string::npos ? std::string() : word.substr(hash + 1);
        word = word.substr(0, hash);
        const std::size_t dot = word.find('.');
        const std::string style = dot == std::string::npos ? std::string() : word.substr(dot + 1);
        auto widget = std::make_shared<TestWidget>(word.substr(0, dot));
        if (!style.empty())
            widget->setStyle(style);
        if (chain.widgets.empty()) {
            if (pane)
                pane->setRoot(widget, id);
        } else
            chain.widgets.back()->insertChild(widget, id);
        chain.widgets.push_back(widget);
    }
    return chain;
}

// The first selector of the first rule of "<text> { x: 1 }"; fails the test when there is none.
inline Selector parseSelector(const std::string& text)
{
    StyleParser2 parser;
    parser.processString(text + " { x: 1 }");
    if (parser.getRules().empty() || parser.getRules().front().selectors.empty()) {
        ADD_FAILURE() << "no selector in: " << text;
        return Selector(0, "");
    }
    return parser.getRules().front().selectors.front();
}

}  // namespace QV::PXT::TEST
