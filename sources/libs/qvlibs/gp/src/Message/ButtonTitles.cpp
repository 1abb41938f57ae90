#include "GP/AlertRunner.h"
#include "GP/GetText.h"

namespace QV::GP::DETAIL {

namespace {

// The English names, which are also the keys of the button titles' translations.
const char* englishName(Message::eButton button)
{
    switch (button) {
    case Message::eButtonOK: return "OK";
    case Message::eButtonCancel: return "Cancel";
    case Message::eButtonYes: return "Yes";
    case Message::eButtonNo: return "No";
    case Message::eButtonAbort: return "Abort";
    case Message::eButtonRetry: return "Retry";
    case Message::eButtonIgnore: return "Ignore";
    case Message::eButtonNone: break;
    }
    return "";
}

}  // namespace

std::string buttonTitle(Message::eButton button)
{
    // The names are literals, so the library domain answers each from its cache after the first time.
    const char* const name = englishName(button);
    return GetLibraryTextDomain().get(name);
}

}  // namespace QV::GP::DETAIL
