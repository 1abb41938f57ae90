#include "UIA/CursorManager.h"

#include "Quartz/NSImageFromPicture.h"
#include "UIA/Picture.h"

#include <AppKit/AppKit.h>
#include <CoreGraphics/CGRemoteOperation.h>

namespace QV::UIA {

void* CursorManager::s_hStdCursors[kStdCursorCount] = {};
bool CursorManager::s_bInit = false;
std::vector<void*> CursorManager::s_collCursors;
int CursorManager::s_nCurrentRegistrationPos = -1;
int CursorManager::s_nRegistrationCount = 0;
CursorManager::RegistrationHandle CursorManager::s_hStdRegistration = kInvalidRegistration;

namespace {

using objc::msgSend;

const objc::Selector s_alloc{"alloc"};
const objc::Selector s_set{"set"};
const objc::Selector s_release{"release"};
const objc::Selector s_arrowCursor{"arrowCursor"};
const objc::Selector s_initWithImage{"initWithImage:hotSpot:"};

constexpr int kInvisibleCursor = 12;

// The platform's cursor of each standard-cursor number; null for the invisible one.
constexpr const char* kStdCursorSelectors[CursorManager::kStdCursorCount] = {
    "arrowCursor",                // 0
    "crosshairCursor",            // 1
    "openHandCursor",             // 2
    "IBeamCursor",                // 3
    "operationNotAllowedCursor",  // 4
    "crosshairCursor",            // 5
    "crosshairCursor",            // 6
    "resizeUpDownCursor",         // 7
    "crosshairCursor",            // 8
    "resizeLeftRightCursor",      // 9
    "resizeUpCursor",             // 10
    "arrowCursor",                // 11
    nullptr,                      // 12: invisible
    "pointingHandCursor",         // 13
    "closedHandCursor",           // 14
    "dragCopyCursor",             // 15
    "dragLinkCursor",             // 16
};

id cursorClass() { return reinterpret_cast<id>(objc_getClass("NSCursor")); }

// A cursor of a transparent 16 x 16 picture, hot spot at its corner.
id makeInvisibleCursor()
{
    Picture picture;
    if (!picture.setSize(16, 16))
        return nil;
    picture.clear(0);
    picture.setAlphaChannel(true);
    id image = DETAIL::createNSImageFromPicture(picture);
    if (!image)
        return nil;
    id cursor = msgSend<id>(cursorClass(), s_alloc);
    cursor = msgSend<id, id, CGPoint>(cursor, s_initWithImage, image, CGPoint{0, 0});
    msgSend<void>(image, s_release);
    return cursor;
}

int32_t indexOf(CursorManager::RegistrationHandle handle) { return static_cast<int32_t>(handle & 0xFFFFFFFF); }
int32_t startOf(CursorManager::RegistrationHandle handle) { return static_cast<int32_t>(handle >> 32); }

}  // namespace

void CursorManager::registerDefaultCursors()
{
    for (int i = 0; i < kStdCursorCount; ++i) {
        if (kStdCursorSelectors[i])
            s_hStdCursors[i] = msgSend<id>(cursorClass(), objc::sel(kStdCursorSelectors[i]));
    }
    s_hStdCursors[kInvisibleCursor] = makeInvisibleCursor();
}

void CursorManager::destroyDefaultCursors()
{
    msgSend<void>(static_cast<id>(s_hStdCursors[kInvisibleCursor]), s_release);
    for (void*& cursor : s_hStdCursors)
        cursor = nullptr;
}

void CursorManager::setSystemCursor(void* cursor)
{
    id shown = cursor ? static_cast<id>(cursor) : msgSend<id>(cursorClass(), s_arrowCursor);
    msgSend<void>(shown, s_set);
}

void CursorManager::resetSystemCursor() { setSystemCursor(nullptr); }

void CursorManager::setCursorPos(const GP::Point& point)
{
    CGWarpMouseCursorPosition(CGPoint{static_cast<CGFloat>(point.x), static_cast<CGFloat>(point.y)});
}

CursorManager::RegistrationHandle CursorManager::openRegistration()
{
    if (s_nCurrentRegistrationPos != -1)
        return kInvalidRegistration;
    s_nCurrentRegistrationPos = static_cast<int>(s_collCursors.size());
    const auto index = static_cast<uint32_t>(s_nRegistrationCount++);
    return (static_cast<RegistrationHandle>(s_nCurrentRegistrationPos) << 32) | index;
}

void CursorManager::closeRegistration(RegistrationHandle handle)
{
    if (handle != kInvalidRegistration && indexOf(handle) == s_nRegistrationCount - 1 &&
        startOf(handle) == s_nCurrentRegistrationPos)
        s_nCurrentRegistrationPos = -1;
}

void CursorManager::unregister(RegistrationHandle handle)
{
    if (handle == kInvalidRegistration || s_nCurrentRegistrationPos != -1 ||
        indexOf(handle) != s_nRegistrationCount - 1)
        return;
    const auto start = static_cast<std::size_t>(startOf(handle));
    if (start > s_collCursors.size())
        return;
    for (std::size_t i = start; i < s_collCursors.size(); ++i)
        msgSend<void>(static_cast<id>(s_collCursors[i]), s_release);
    s_collCursors.resize(start);
    --s_nRegistrationCount;
}

}  // namespace QV::UIA
