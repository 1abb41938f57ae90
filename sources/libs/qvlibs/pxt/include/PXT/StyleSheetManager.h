// The owner of the style sheets: the default sheet, which starts from a built-in text and is
// replaced by the application's stylesheet through loadDefault.
#pragma once

#include "PXT/DrawingCache.h"
#include "PXT/StyleSheet.h"

#include <list>
#include <map>
#include <string>
#include <utility>

namespace QV::PXT {

class ManagerContainer;
class Widget;

class StyleSheetManager {
public:
    // The rules every sheet starts from: grey panels, black text, darker while pressed, lighter
    // under the pointer, dark bars.
    static const char* const s_defaultStyleSheet;

    explicit StyleSheetManager(ManagerContainer& container);

    // The manager of the toolkit's resource manager; null outside Lib::init and Lib::deInit.
    static StyleSheetManager* get();

    // Loads the stylesheet resource `name` into the default sheet, unless it was the last name.
    void loadDefault(const std::string& name);
    StyleSheet& getDefaultStyleSheet() { return m_sheets.front().second; }
    const StyleSheet& getDefaultStyleSheet() const { return m_sheets.front().second; }
    // Drops the widget's entries from every sheet's cache.
    void removeFromCaches(const Widget& widget) const;
    // The widget's drawing cache, made empty (not yet rebuilt) on first use; it lives until the
    // widget's destructor erases it.
    DrawingCache& getDrawingCache(const Widget& widget);
    void eraseDrawingCache(const Widget& widget) { m_drawingCaches.erase(&widget); }

private:
    ManagerContainer& m_container;
    std::list<std::pair<std::string, StyleSheet>> m_sheets;
    std::map<const Widget*, DrawingCache> m_drawingCaches;
};

}  // namespace QV::PXT
