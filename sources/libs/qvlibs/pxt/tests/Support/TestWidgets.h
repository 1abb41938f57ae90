// Widgets for the toolkit's tests: any class name, an optional orientation (as a Bar's), and a
// tree built from a path of simple descriptions.
#pragma once

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

// A chain of widgets, root first. Each description is "Class", "Class.style", "Class#id" or
// "Class.style#id".
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
        if (chain.widgets.empty())
            widget->setPane(pane);
        else
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
