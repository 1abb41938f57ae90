// libjpeg's error manager for the JPEG reader: the library's standard manager, whose error exit
// jumps back into the reader instead of ending the process. Messages and warnings keep the
// library's default output.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace QV::UIA {

struct JPGErrorManager {
    // First member: libjpeg's pointer to it is a pointer to the whole record.
    jpeg_error_mgr m_manager;
    // Set by the reader with setjmp before it calls libjpeg.
    std::jmp_buf m_jump;
    // libjpeg's text of the error that ended the decoding; empty before one.
    char m_message[JMSG_LENGTH_MAX];

    // Sets up the standard manager with the jumping error exit; the result goes into cinfo.err.
    jpeg_error_mgr* install();

    // libjpeg's error exit: keeps the error's text in m_message, then longjmp to m_jump with value 1.
    [[noreturn]] static void errorExitHandler(j_common_ptr cinfo);
};

}  // namespace QV::UIA
