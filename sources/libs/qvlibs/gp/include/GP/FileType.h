// File types and type groups: the records of the file-type registry (GP/FileTypeManager.h).
// The registry owns every record; everyone else holds plain pointers that stay valid until the type is
// unregistered or the registry is shut down.
#pragma once

#include "GP/FileTypeMacMagic.h"

#include <string>
#include <vector>

namespace QV::GP {

struct FileTypeGroupDescr;

// One file type: display names, the file-name extensions (without '.') and the four-character type
// codes that identify it.
struct FileTypeDescr {
    std::string name;
    std::string pluralName;
    FileTypeGroupDescr* group = nullptr;  // the group of the same names, made with the type
    std::vector<std::string> extensions;
    std::vector<FileTypeMacMagic> typeCodes;
};

// A collection of types for the file dialogs' filters.
struct FileTypeGroupDescr {
    std::string name;
    std::string pluralName;
    std::vector<const FileTypeDescr*> types;
};

}  // namespace QV::GP
