// How a picture sheet is used by the skin: whether its alpha matters, how many animation frames it
// holds and in which direction, and the fixed borders of a nine-patch. Also a plain property record,
// copied by value.
//
// Every setter stores its value and then calls propertiesChanged(), which does nothing here; the
// setters are virtual so that a subclass may watch them.
#pragma once

#include "GP/Stream.h"

#include <cstddef>
#include <cstdint>

namespace QV::UIA {

class PictureProperties {
public:
    // Layout of the animation frames: stacked top to bottom, or (any other value) side by side.
    enum eOrientation : uint32_t {
        eOrientationVertical = 1,
        eOrientationHorizontal = 2
    };
    // Bits of the resize flags.
    enum eResize : uint32_t {
        eResizeVertical = 1,
        eResizeHorizontal = 2
    };
    // Bytes of the stream record (read, write).
    static constexpr std::size_t kRecordBytes = 33;

    PictureProperties() = default;
    PictureProperties(const PictureProperties&) = default;
    PictureProperties& operator=(const PictureProperties&) = default;
    virtual ~PictureProperties() = default;

    virtual void setAlphaChannel(bool bAlpha);
    // true: frames side by side (orientation 2); false: stacked (orientation 1).
    virtual void setHorizontalAnimation(bool bHorizontal);
    virtual void setAnimationOrientation(eOrientation orientation);
    virtual void setNumAnimations(unsigned nAnimations);
    virtual void setVertResizable(bool bResizable);
    virtual void setHorzResizable(bool bResizable);
    virtual void setFixedTop(int value);
    virtual void setFixedBottom(int value);
    virtual void setFixedLeft(int value);
    virtual void setFixedRight(int value);
    // The properties as a record of 33 bytes in the stream's byte order: the record version (u32,
    // written as 1, not checked when read), the alpha-channel flag (one byte, any non-zero byte
    // reads as true), orientation, number of frames and resize flags (u32 each), then the fixed
    // top, bottom, left and right borders (s32 each).
    // read: false, with nothing changed, when the stream has no storage or the record is not all
    // there; else the properties take the record's values and propertiesChanged() runs once.
    virtual bool read(GP::Stream& stream);
    // false when the stream has no storage or not every byte of the record was written.
    virtual bool write(GP::Stream& stream) const;
    virtual void propertiesChanged();

    // The pixels carry meaningful alpha: pictures drawn from this one are composited, not copied.
    bool hasAlphaChannel() const { return m_bAlphaChannel; }
    uint32_t getAnimationOrientation() const { return m_orientation; }
    bool hasHorizontalAnimation() const { return m_orientation != eOrientationVertical; }
    // 0 and 1 both mean one frame.
    unsigned getNumAnimations() const { return m_nAnimations; }
    uint32_t getResizeFlags() const { return m_resizeFlags; }
    bool isVertResizable() const { return (m_resizeFlags & eResizeVertical) != 0; }
    bool isHorzResizable() const { return (m_resizeFlags & eResizeHorizontal) != 0; }
    bool isResizable() const { return m_resizeFlags != 0; }
    int getFixedTop() const { return m_fixedTop; }
    int getFixedBottom() const { return m_fixedBottom; }
    int getFixedLeft() const { return m_fixedLeft; }
    int getFixedRight() const { return m_fixedRight; }

protected:
    bool m_bAlphaChannel = false;
    uint32_t m_orientation = eOrientationVertical;
    uint32_t m_nAnimations = 0;
    uint32_t m_resizeFlags = 0;
    int32_t m_fixedTop = 0;
    int32_t m_fixedBottom = 0;
    int32_t m_fixedLeft = 0;
    int32_t m_fixedRight = 0;
};

}  // namespace QV::UIA
