#include "UIA/WindowBase.h"

#include "COCOA/WindowImplBase.h"
#include "UIA/EventCodes.h"
#include "UIA/EventData.h"
#include "UIA/WindowImpl.h"

#include <cstring>
#include <utility>

namespace QV::UIA {

void WindowBase::CreateData::setTitle(const char* utf8)
{
    const size_t length = utf8 ? std::strlen(utf8) : 0;
    title.assign(utf8, utf8 + length);
    title.push_back('\0');
    flags |= eCreateFlagTitle;
}

WindowBase::WindowBase() = default;

WindowBase::~WindowBase() { delete std::exchange(m_pImpl, nullptr); }

void WindowBase::setCursor(void* cursor)
{
    if (m_pImpl)
        m_pImpl->setCursor(cursor);
}

void WindowBase::resetCursor()
{
    if (m_pImpl)
        m_pImpl->resetCursor();
}

void WindowBase::destroy()
{
    if (m_pImpl)
        m_pImpl->destroy();
}

void WindowBase::setAutoDelete(bool autoDelete)
{
    m_bAutoDelete = autoDelete;
    if (m_pImpl)
        m_pImpl->setDeleteWindowObject(autoDelete);
}

void WindowBase::onImplDestroyed() { m_pImpl = nullptr; }

bool WindowBase::isVisible() const { return m_pImpl && m_pImpl->isVisible(); }

void WindowBase::show(bool show)
{
    if (show && !isVisible()) {
        EventData none;
        sendEvent(eEventWindowAboutToShow, &none);
    }
    // A receiver of the event may have destroyed the window.
    if (m_pImpl)
        m_pImpl->show(show);
}

void WindowBase::setWindowIcon(AppModule* module, int resourceId)
{
    if (m_pImpl)
        m_pImpl->setWindowIcon(module, resourceId);
}

void WindowBase::setKeyFocus()
{
    if (m_pImpl)
        m_pImpl->setKeyFocus();
}

void WindowBase::startRelativeMouseMove()
{
    if (m_pImpl)
        m_pImpl->startRelativeMouseMove();
}

void WindowBase::stopRelativeMouseMove()
{
    if (m_pImpl)
        m_pImpl->stopRelativeMouseMove();
}

void WindowBase::textInputResetMarkedRange()
{
    if (m_pImpl)
        m_pImpl->textInputResetMarkedRange();
}

void WindowBase::toScreen(GP::Point& point) const
{
    if (m_pImpl)
        m_pImpl->toScreen(point);
}

void WindowBase::invalidate()
{
    if (m_pImpl)
        m_pImpl->invalidate();
}

void WindowBase::invalidateRegion(const GP::Region& region)
{
    if (m_pImpl)
        m_pImpl->invalidateRegion(region);
}

GP::Point WindowBase::getSize(bool content) const { return m_pImpl ? m_pImpl->getSize(content) : GP::Point(); }

float WindowBase::getBackingScaleFactor() const { return m_pImpl->getBackingScaleFactor(); }

bool WindowBase::updateOffscreenPicture(const Picture& picture)
{
    return m_pImpl && m_bUseOffscreenPicture && m_pImpl->updateOffscreenPicture(picture);
}

id WindowBase::getNSView() const
{
    if (!m_pImpl || !m_pImpl->isCocoa())
        return nil;
    return static_cast<COCOA::WindowImplBase*>(m_pImpl)->getView();
}

}  // namespace QV::UIA
