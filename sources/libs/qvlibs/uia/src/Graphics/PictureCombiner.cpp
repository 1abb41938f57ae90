// The combiners and Picture's combining entry points for the functors the toolkit uses.
#include "UIA/PictureCombiner.h"

namespace QV::UIA {

template class PictureCombiner<PictureCombinerFunctors::CopySource>;
template class PictureCombiner<PictureCombinerFunctors::BlendUsingAlpha>;
template class PictureCombiner<PictureCombinerFunctors::DyeUsingAlphaMask>;

template void Picture::putPicture<PictureCombinerFunctors::CopySource>(int, int, Picture const&, unsigned,
                                                                       GP::Rect const*);
template void Picture::putPicture<PictureCombinerFunctors::BlendUsingAlpha>(int, int, Picture const&, unsigned,
                                                                            GP::Rect const*);
template void Picture::putStretched<PictureCombinerFunctors::CopySource>(GP::Rect const&, Picture const&, unsigned,
                                                                         GP::Rect const*);
template void Picture::putStretched<PictureCombinerFunctors::BlendUsingAlpha>(GP::Rect const&, Picture const&,
                                                                              unsigned, GP::Rect const*);

}  // namespace QV::UIA
