#include "UIA/PictureProperties.h"

namespace QV::UIA {

void PictureProperties::setAlphaChannel(bool bAlpha)
{
    m_bAlphaChannel = bAlpha;
    propertiesChanged();
}

void PictureProperties::setHorizontalAnimation(bool bHorizontal)
{
    m_orientation = bHorizontal ? eOrientationHorizontal : eOrientationVertical;
    propertiesChanged();
}

void PictureProperties::setAnimationOrientation(eOrientation orientation)
{
    m_orientation = orientation;
    propertiesChanged();
}

void PictureProperties::setNumAnimations(unsigned nAnimations)
{
    m_nAnimations = nAnimations;
    propertiesChanged();
}

void PictureProperties::setVertResizable(bool bResizable)
{
    m_resizeFlags = bResizable ? (m_resizeFlags | eResizeVertical) : (m_resizeFlags & ~uint32_t(eResizeVertical));
    propertiesChanged();
}

void PictureProperties::setHorzResizable(bool bResizable)
{
    m_resizeFlags = bResizable ? (m_resizeFlags | eResizeHorizontal) : (m_resizeFlags & ~uint32_t(eResizeHorizontal));
    propertiesChanged();
}

void PictureProperties::setFixedTop(int value)
{
    m_fixedTop = value;
    propertiesChanged();
}

void PictureProperties::setFixedBottom(int value)
{
    m_fixedBottom = value;
    propertiesChanged();
}

void PictureProperties::setFixedLeft(int value)
{
    m_fixedLeft = value;
    propertiesChanged();
}

void PictureProperties::setFixedRight(int value)
{
    m_fixedRight = value;
    propertiesChanged();
}

void PictureProperties::propertiesChanged() {}

}  // namespace QV::UIA
