// A URL, and the bridge between file URLs and colon-style file names.
//
// File URLs are absolute ("file:///home/me/My%20Notes.txt", host empty or "localhost"); every byte of
// the path outside the URL's unreserved and path characters is percent-encoded, so spaces and
// non-ASCII names survive exactly. No Unicode normalisation is applied: the bytes of the URL are the
// bytes of the file's path.
#pragma once

#include "GP/CharSequence.h"

#include <CoreFoundation/CoreFoundation.h>

#include <string>

namespace QV::GP {

class FileName;

class URI {
public:
    URI() = default;
    // The platform URL's file path as a file URL; null stays without URL.
    explicit URI(const CFURLRef& url);
    // createFileLocation(name).
    explicit URI(const FileName& name);

    // A file URL for the name's POSIX path, a folder URL (ending with '/') for a folder-mode name.
    // No URL when the name has no absolute POSIX path (empty, relative, or on a volume not mounted).
    void createFileLocation(const FileName& name);
    // An absolute URL from its UTF-8 text (the scheme is made lower case). False, and no URL, when the
    // text is not a well-formed absolute URL.
    bool createCanonicalLocation(const CharSequence<char>& urlText);

    // The URL text; empty without URL.
    std::string get() const { return m_url; }
    bool empty() const { return m_url.empty(); }

    // The colon-style name of a file URL (a folder URL gives a text ending with ':'). False without a
    // URL, for other schemes or hosts, and for paths that cannot name a file.
    bool getFileNameString(std::string& out) const;
    // The name of a file URL: out gets mode 0 and that text, then init(true).
    bool getFileName(FileName& out) const;

private:
    std::string m_url;
};

}  // namespace QV::GP
