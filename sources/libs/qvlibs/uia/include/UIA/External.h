// Opening a URL with the desktop's default handler of its scheme (a web page in the default browser).
#pragma once

namespace QV::UIA::External {

// False for null; otherwise openPreprocessedURL.
bool openURL(const char* url);
// Opens the UTF-8 URL text; false when it is not UTF-8, not a URL, or could not be opened.
bool openPreprocessedURL(const char* url);

}  // namespace QV::UIA::External
