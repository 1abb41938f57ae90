#include "Decoding/JPGErrorManager.h"

#include <type_traits>

namespace QV::UIA {

static_assert(std::is_standard_layout_v<JPGErrorManager>, "libjpeg's pointer must lead back to the record");

jpeg_error_mgr* JPGErrorManager::install()
{
    jpeg_error_mgr* manager = jpeg_std_error(&m_manager);
    manager->error_exit = &errorExitHandler;
    m_message[0] = '\0';
    return manager;
}

void JPGErrorManager::errorExitHandler(j_common_ptr cinfo)
{
    auto* self = reinterpret_cast<JPGErrorManager*>(cinfo->err);
    cinfo->err->format_message(cinfo, self->m_message);
    std::longjmp(self->m_jump, 1);
}

}  // namespace QV::UIA
