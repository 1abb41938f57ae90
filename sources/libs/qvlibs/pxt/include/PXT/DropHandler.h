// What a widget does with the drags that reach it. A widget keeps its drop handlers in its
// drop-target part (DragDropEventTarget.h): a handler answers the drag requests over the widget,
// takes the drop when it accepted the last request, and hears when that drag leaves.
//
// A request function accepts by returning true; it chooses the effect by setting the record's
// dropEffect (DragDropSupport::DropEffect bits). Positions are relative to the widget.
#pragma once

#include <cstdint>
#include <functional>

namespace QV::UIA {
class DragDropData;
struct DragDropReceiveEventData;
struct DragDropRequestEventData;
}  // namespace QV::UIA

namespace QV::PXT {

// The parts every handler has: the drop and the leave.
class DropHandlerBase {
public:
    using DropFunction = std::function<bool(UIA::DragDropReceiveEventData*)>;
    using LeaveFunction = std::function<void()>;

    virtual ~DropHandlerBase() = default;

    // The drop, after this handler accepted the request; true when the data was taken. The drop
    // function's answer, false without one.
    virtual bool drop(UIA::DragDropReceiveEventData* data) { return m_drop ? m_drop(data) : false; }

    DropFunction m_drop;
    // The accepted drag left or was dropped (for a leave observer: any drag ended); may be empty.
    LeaveFunction m_leave;
};

// A handler asked on every drag request, whatever the drag carries.
class DropHandler : public DropHandlerBase {
public:
    using RequestFunction = std::function<bool(UIA::DragDropRequestEventData*)>;

    // An empty request function is a programming error: the request throws std::bad_function_call.
    RequestFunction m_request;
};

// A handler for the program's own in-process payloads of one format (UIA::DragDropFormat id):
// asked, before the plain handlers, only for drags whose payload is of that format.
class InternalFormatDropHandler : public DropHandlerBase {
public:
    using RequestFunction = std::function<bool(UIA::DragDropRequestEventData*, const UIA::DragDropData*)>;

    explicit InternalFormatDropHandler(std::uint32_t format) : m_format(format) {}
    std::uint32_t getFormat() const { return m_format; }

    // As DropHandler's, with the dragged payload.
    RequestFunction m_request;

private:
    std::uint32_t m_format;
};

}  // namespace QV::PXT
