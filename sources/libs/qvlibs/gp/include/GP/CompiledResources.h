// Resource bytes compiled into the program, looked up by name or by type name and number. This
// program compiles none in: both tables stay empty, and every lookup raises std::runtime_error
// "resource not found", which the resource storage catches to fail its open.
#pragma once

#include "GP/ArrayRef.h"
#include "GP/Symbol.h"

namespace qv {

class compiled_resources {
public:
    using bytes = array_ref<const unsigned char>;

    // The bytes registered under the name; throws std::runtime_error("resource not found") otherwise.
    static bytes resolve_resource_data(symbol name);
    // The bytes registered under the type name and number; throws as above otherwise.
    static bytes resolve_resource_data(symbol name, unsigned int id);
};

}  // namespace qv
