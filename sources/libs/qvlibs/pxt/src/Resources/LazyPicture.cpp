#include "PXT/LazyPicture.h"

#include "UIA/Picture.h"

namespace QV::PXT {

const LazyPicture LazyPicture::gEmptyPicture;

LazyPicture::LazyPicture(std::shared_ptr<const UIA::Picture> picture)
{
    if (picture)
        m_pictures.emplace(1.0f, std::move(picture));
}

const std::shared_ptr<const UIA::Picture>& LazyPicture::load(float scale) const
{
    return m_pictures.emplace(scale, m_loader(scale)).first->second;
}

const UIA::Picture* LazyPicture::resolve(float scale) const
{
    // A kept entry answers, also when it records a missing picture.
    const auto kept = m_pictures.find(scale);
    if (kept != m_pictures.end())
        return kept->second.get();
    if (m_loader) {
        if (const auto& picture = load(scale))
            return picture.get();
        if (scale == 1.0f)
            return nullptr;
    }
    // Another scale: the scale-1 picture, replicated.
    const auto base = m_pictures.find(1.0f);
    const UIA::Picture* basePicture = base != m_pictures.end() ? base->second.get()
                                      : m_loader               ? load(1.0f).get()
                                                               : nullptr;
    if (!basePicture)
        return nullptr;
    std::shared_ptr<const UIA::Picture> scaled = basePicture->cloneAndScale(scale, UIA::Picture::Sampling::eReplicate);
    auto& slot = m_pictures[scale];
    slot = std::move(scaled);
    return slot.get();
}

}  // namespace QV::PXT
