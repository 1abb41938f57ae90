// The content view as the system text input's client (NSTextInputClient): committed and composed
// text, the ranges and place of the text being edited, and the editing commands of the key bindings.
#include "COCOA/Screens.h"
#include "COCOA/ViewState.h"
#include "GP/StringCF.h"
#include "UIA/EventCodes.h"
#include "UIA/TextInputBase.h"

#include <CoreFoundation/CoreFoundation.h>

namespace QV::UIA::COCOA::ViewDetail {

namespace {

using objc::msgSend;

const objc::Selector s_string{"string"};
const objc::Selector s_arrayWithObjectsCount{"arrayWithObjects:count:"};

TextInputBase* activeTextInput(id self)
{
    WindowImplBase* impl = implOf(self);
    return impl ? impl->getOwner()->getActiveTextInput() : nullptr;
}

// The UTF-8 text of a string, or of an attributed string's plain string.
std::string utf8Of(id string)
{
    if (!string)
        return std::string();
    Class attributed = objc_getClass("NSAttributedString");
    if (attributed && objc::isKindOfClass(string, attributed))
        string = msgSend<id>(string, s_string);
    return GP::StringCF(reinterpret_cast<CFStringRef>(string));
}

NSRange toNSRange(const TextRange& range)
{
    // The location is sign-extended: -1 ("none") has every bit set.
    return NSRange{static_cast<NSUInteger>(static_cast<int64_t>(range.location)),
                   static_cast<NSUInteger>(range.length)};
}

BOOL hasMarkedText(id self, SEL)
{
    TextInputBase* input = activeTextInput(self);
    return input && input->getMarkedRange().length != 0;
}

NSRange markedRange(id self, SEL)
{
    TextInputBase* input = activeTextInput(self);
    return toNSRange(input ? input->getMarkedRange() : TextRange());
}

NSRange selectedRange(id self, SEL)
{
    TextInputBase* input = activeTextInput(self);
    return toNSRange(input ? input->getSelectedRange() : TextRange());
}

void setTextHandled(id self, bool handled)
{
    if (tTextInputState* state = stateOf(self))
        state->textHandled = handled;
}

void setMarkedText(id self, SEL, id string, NSRange selected, NSRange)
{
    if (!implOf(self) || !string)
        return;
    RetainScope keep(self);
    MarkedTextEventData data;
    data.text = utf8Of(string);
    data.caret = selected.location + selected.length;
    setTextHandled(self, sendToWindowThenApplication(self, eEventTextMarked, &data));
}

void unmarkText(id self, SEL)
{
    if (TextInputBase* input = activeTextInput(self))
        input->setMarkedRange(TextRange());
}

id validAttributesForMarkedText(id, SEL)
{
    return msgSend<id, const id*, NSUInteger>(objc_getClass("NSArray"), s_arrayWithObjectsCount, nullptr, 0);
}

// No attributed strings here: the text input asks only for the plain text's place.
id attributedSubstring(id, SEL, NSRange, NSRange*) { return nil; }

void insertText(id self, SEL, id string, NSRange)
{
    if (!implOf(self))
        return;
    TextEventData data;
    data.text = utf8Of(string);
    if (data.text.empty())
        return;
    RetainScope keep(self);
    setTextHandled(self, sendToWindowThenApplication(self, eEventTextInsert, &data));
}

NSUInteger characterIndexForPoint(id, SEL, CGPoint) { return 0; }

CGRect firstRectForCharacterRange(id self, SEL, NSRange range, NSRange*)
{
    TextInputBase* input = activeTextInput(self);
    if (!input)
        return CGRectMake(0, 0, 0, 0);
    const GP::Rect rect =
        input->getRectForRange(TextRange{static_cast<int32_t>(range.location), static_cast<int64_t>(range.length)});
    return WindowRules::toAppKit(rect, firstScreenTopEdge());
}

void doCommandBySelector(id self, SEL, SEL command)
{
    RetainScope keep(self);
    if (activeTextInput(self)) {
        if (const std::optional<ViewInput::tKeyCommand> found = ViewInput::keyCommandFor(sel_getName(command))) {
            KeyCommandEventData data;
            data.command = found->command;
            data.extendSelection = found->extendSelection;
            if (sendToWindowThenApplication(self, eEventKeyCommand, &data)) {
                setTextHandled(self, true);
                return;
            }
        }
    }
    setTextHandled(self, handleKeyShortcut(self));
}

}  // namespace

void addTextInputMethods(GP::OBJC::ClassFactory& factory)
{
    const auto bind = [&factory](const char* selector, auto* function, const char* types) {
        factory.addMethod(sel_registerName(selector), reinterpret_cast<IMP>(function), types);
    };
    const char* range = "{_NSRange=QQ}";
    const std::string rangeAnswer = std::string(range) + "@:";
    bind("hasMarkedText", &hasMarkedText, "B@:");
    bind("markedRange", &markedRange, rangeAnswer.c_str());
    bind("selectedRange", &selectedRange, rangeAnswer.c_str());
    bind("setMarkedText:selectedRange:replacementRange:", &setMarkedText,
         (std::string("v@:@") + range + range).c_str());
    bind("unmarkText", &unmarkText, "v@:");
    bind("validAttributesForMarkedText", &validAttributesForMarkedText, "@@:");
    bind("attributedSubstringForProposedRange:actualRange:", &attributedSubstring,
         (std::string("@@:") + range + "^" + range).c_str());
    bind("insertText:replacementRange:", &insertText, (std::string("v@:@") + range).c_str());
    bind("characterIndexForPoint:", &characterIndexForPoint, "Q@:{CGPoint=dd}");
    bind("firstRectForCharacterRange:actualRange:", &firstRectForCharacterRange,
         (std::string("{CGRect={CGPoint=dd}{CGSize=dd}}@:") + range + "^" + range).c_str());
    bind("doCommandBySelector:", &doCommandBySelector, "v@::");
}

}  // namespace QV::UIA::COCOA::ViewDetail
