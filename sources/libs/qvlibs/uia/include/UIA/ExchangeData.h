// A pasteboard seen through clipboard formats: the general clipboard, a drag's private pasteboard or
// one handed in by the platform. Main thread only.
#pragma once

#include "UIA/ClipBoardFormat.h"

#include <Carbon/Carbon.h>

namespace QV::UIA {

class ExchangeData {
public:
    // Wraps an existing pasteboard, retaining it (null stays without pasteboard).
    explicit ExchangeData(PasteboardRef pasteboard);
    // A pasteboard holding exactly the format's items: the general clipboard (general true) or a new
    // pasteboard with a unique name. Without pasteboard when it cannot be prepared or nothing could
    // be put on it.
    ExchangeData(const ClipBoardFormat& format, bool general);
    ~ExchangeData();
    ExchangeData(const ExchangeData&) = delete;
    ExchangeData& operator=(const ExchangeData&) = delete;

    // Reads the pasteboard into the format; true when some item was taken.
    bool getFormat(ClipBoardFormat& format) const;
    // Whether some item has a flavour that conforms to the handle's type (for the internal format:
    // whether getFormat would read one).
    bool containsFormat(const ClipBoardFormatHandle& handle) const;

    // The pasteboard (owned by this object), or null.
    PasteboardRef getPasteboard() const { return m_pasteboard; }

private:
    PasteboardRef m_pasteboard = nullptr;
    bool m_bOfferedInternal = false;  // this object put an internal payload on a private pasteboard
};

}  // namespace QV::UIA
