// The cursors: the table of standard cursors (NSCursor objects, indexed by the standard-cursor
// number), showing a cursor, moving the pointer, and registrations that group further cursor
// objects so that a library can drop the ones it added.
//
// Main thread only.
#pragma once

#include "GP/Point.h"

#include <cstdint>
#include <vector>

namespace QV::UIA {

class CursorManager {
public:
    // Registration index in the low 32 bits, start position in the high 32 bits; -1 in both when
    // invalid.
    using RegistrationHandle = int64_t;
    static constexpr RegistrationHandle kInvalidRegistration = -1;
    static constexpr int kStdCursorCount = 17;

    // Fills the table from the platform's cursors; entry 12 is an invisible cursor of its own.
    static void registerDefaultCursors();
    // Releases the invisible cursor (the others are the platform's shared cursors) and empties the
    // table.
    static void destroyDefaultCursors();
    // Shows `cursor` (an NSCursor); null shows the arrow.
    static void setSystemCursor(void* cursor);
    static void resetSystemCursor();
    // Moves the pointer to a global screen position.
    static void setCursorPos(const GP::Point& point);

    // Opens a registration: possible only while none is open; else the handle is invalid.
    static RegistrationHandle openRegistration();
    // Closes the open registration when `handle` is it.
    static void closeRegistration(RegistrationHandle handle);
    // Deletes the cursor objects of the most recent registration, when `handle` is it and no
    // registration is open; otherwise nothing.
    static void unregister(RegistrationHandle handle);

    static void* s_hStdCursors[kStdCursorCount];
    static bool s_bInit;
    static std::vector<void*> s_collCursors;
    static int s_nCurrentRegistrationPos;
    static int s_nRegistrationCount;
    static RegistrationHandle s_hStdRegistration;
};

}  // namespace QV::UIA
