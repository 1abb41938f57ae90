// The picture readers under their former free-function names, forwarding to the members of Picture
// (Picture::readDetect, readPNG, readJPG, readTGA, documented there). Kept only while callers move
// to the members; new code calls those.
#pragma once

#include "GP/Stream.h"
#include "UIA/Picture.h"

namespace QV::UIA::PictureReaders {

inline bool readDetect(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation,
                       bool bDetectAlpha)
{
    return picture.readDetect(stream, orientation, bDetectAlpha);
}

inline bool readPNG(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation,
                    bool bDetectAlpha)
{
    return picture.readPNG(stream, orientation, bDetectAlpha);
}

inline bool readJPG(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation,
                    bool bDetectAlpha)
{
    return picture.readJPG(stream, orientation, bDetectAlpha);
}

inline bool readTGA(Picture& picture, GP::Stream& stream, PictureProperties::eOrientation orientation,
                    bool bDetectAlpha)
{
    return picture.readTGA(stream, orientation, bDetectAlpha);
}

}  // namespace QV::UIA::PictureReaders
