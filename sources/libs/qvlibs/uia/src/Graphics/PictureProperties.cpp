#include "UIA/PictureProperties.h"

#include "GP/MemoryStream.h"

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

namespace {

constexpr uint32_t kRecordVersion = 1;

}  // namespace

bool PictureProperties::read(GP::Stream& stream)
{
    // The whole record first, so that a short one changes nothing; its fields are then read in the
    // stream's byte order.
    unsigned char bytes[kRecordBytes];
    if (!stream.getStorage() || stream.readRaw(bytes, sizeof bytes) != sizeof bytes)
        return false;
    GP::MemoryStream record;
    record.storage().init(GP::IStorage::eAccessRead, bytes, sizeof bytes);
    record.setByteOrder(stream.getByteOrder());
    record.readU32();  // the record version: every version so far has this layout
    m_bAlphaChannel = record.readBoolean();
    m_orientation = record.readU32();
    m_nAnimations = record.readU32();
    m_resizeFlags = record.readU32();
    m_fixedTop = record.readS32();
    m_fixedBottom = record.readS32();
    m_fixedLeft = record.readS32();
    m_fixedRight = record.readS32();
    propertiesChanged();
    return true;
}

bool PictureProperties::write(GP::Stream& stream) const
{
    if (!stream.getStorage())
        return false;
    std::size_t written = stream.writeU32(kRecordVersion);
    written += stream.writeBoolean(m_bAlphaChannel);
    written += stream.writeU32(m_orientation);
    written += stream.writeU32(m_nAnimations);
    written += stream.writeU32(m_resizeFlags);
    written += stream.writeS32(m_fixedTop);
    written += stream.writeS32(m_fixedBottom);
    written += stream.writeS32(m_fixedLeft);
    written += stream.writeS32(m_fixedRight);
    return written == kRecordBytes;
}

void PictureProperties::propertiesChanged() {}

}  // namespace QV::UIA
