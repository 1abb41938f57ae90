// The combiners and Picture's combining entry points for the functors the toolkit uses.
#include "UIA/PictureCombiner.h"

namespace QV::UIA {

template class PictureCombiner<PictureCombinerFunctors::CopySource>;
template class PictureCombiner<PictureCombinerFunctors::BlendUsingAlpha>;
template class PictureCombiner<PictureCombinerFunctors::DyeUsingAlphaMask>;

template void Picture::putPicture<PictureCombinerFunctors::CopySource>(int, int, const Picture&, unsigned,
                                                                       const GP::Rect*);
template void Picture::putPicture<PictureCombinerFunctors::BlendUsingAlpha>(int, int, const Picture&, unsigned,
                                                                            const GP::Rect*);
template void Picture::putStretched<PictureCombinerFunctors::CopySource>(const GP::Rect&, const Picture&, unsigned,
                                                                         const GP::Rect*);
template void Picture::putStretched<PictureCombinerFunctors::BlendUsingAlpha>(const GP::Rect&, const Picture&, unsigned,
                                                                              const GP::Rect*);

}  // namespace QV::UIA
