#include "FileName/FileSystemItem.h"

#include "GP/FileTypeMacMagic.h"

#include <sys/stat.h>

#include <cctype>

namespace QV::GP::DETAIL {

namespace {

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isFolder(const std::string& posixPath)
{
    struct stat info {};
    return ::stat(posixPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The package type code of a folder, or 0 when it is no package.
FileTypeMacMagic packageType(const std::string& posixPath)
{
    const std::size_t slash = posixPath.rfind('/');
    const std::string last = posixPath.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = last.rfind('.');
    if (dot == std::string::npos || dot == 0)
        return 0;
    const std::string extension = lowerAscii(last.substr(dot + 1));
    FileTypeMacMagic code = 0;
    if (extension == "app")
        code = fourCharCode("APPL");
    else if (extension == "bundle" || extension == "framework" || extension == "plugin")
        code = fourCharCode("BNDL");
    if (code == 0 || !isFolder(posixPath + (posixPath == "/" ? "" : "/") + "Contents"))
        return 0;
    return code;
}

}  // namespace

std::optional<FileName::tCatalogInfo> examineItem(const std::string& posixPath)
{
    struct stat status {};
    if (posixPath.empty() || ::stat(posixPath.c_str(), &status) != 0)
        return std::nullopt;
    FileName::tCatalogInfo info;
    info.isFolder = S_ISDIR(status.st_mode);
    if (info.isFolder) {
        if (const FileTypeMacMagic code = packageType(posixPath)) {
            info.isPackage = true;
            info.typeCode = code;
        }
    }
    return info;
}

}  // namespace QV::GP::DETAIL
