// A picture loaded on first use, once per backing scale, and kept. An empty LazyPicture (no loader,
// no picture) stands for no picture. Copies share the pictures already made (and the knowledge of
// the ones that are missing) but keep their own lists from then on.
#pragma once

#include <functional>
#include <map>
#include <memory>

namespace QV::UIA {
class Picture;
}

namespace QV::PXT {

class LazyPicture {
public:
    using tLoader = std::function<std::shared_ptr<const UIA::Picture>(float scale)>;

    LazyPicture() = default;
    // No loader; a non-null picture is kept for scale 1.
    explicit LazyPicture(std::shared_ptr<const UIA::Picture> picture);
    explicit LazyPicture(tLoader loader) : m_loader(std::move(loader)) {}

    // The picture for the scale: the one kept, else the loader's, else the scale-1 picture scaled
    // by pixel replication. Null when there is none; a missing picture is remembered for its scale,
    // so the loader is asked once per scale.
    const UIA::Picture* resolve(float scale) const;
    // No loader and no picture.
    bool empty() const { return !m_loader && m_pictures.empty(); }

    static const LazyPicture gEmptyPicture;

private:
    // The picture for `scale` from the loader, remembered (null too).
    const std::shared_ptr<const UIA::Picture>& load(float scale) const;

    tLoader m_loader;
    // Null entries record a picture known to be missing at that scale.
    mutable std::map<float, std::shared_ptr<const UIA::Picture>> m_pictures;
};

}  // namespace QV::PXT
