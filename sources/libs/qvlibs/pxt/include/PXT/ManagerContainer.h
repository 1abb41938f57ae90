// The toolkit's resource manager: finds the skin's pictures, stylesheets and fonts as streams,
// makes and keeps the fonts and pictures that stylesheets name, and owns the style sheet manager.
//
// Where resources are looked for is decided at the first lookup and kept:
//   - with the skin-directory search on (Lib::setSearchSkinDirectory): a folder "skin" beside the
//     application bundle, else one in the current folder: skin/<kind>/<name>, nothing else;
//   - otherwise, or when neither exists: Contents/Resources/skin/<kind>/<name> in the bundle, then
//     the bundle resource of the kind's type ("PICTURE", "STYLESHEET", "TTFd") named <name>.
// The kinds' folders are "pictures", "stylesheets" and "fonts"; a '/' in a name separates folders.
//
// Fonts and pictures are made once and kept until the container dies. A font that cannot be made
// falls back to the default font (logged once); a picture that cannot be loaded is remembered as
// missing. Main thread only.
#pragma once

#include "GP/CharSequence.h"
#include "GP/FileName.h"
#include "PXT/LazyPicture.h"
#include "UIA/Font.h"
#include "UIA/PictureProperties.h"

#include <map>
#include <memory>
#include <string>

namespace QV::GP {
class Stream;
}
namespace QV::UIA {
class Picture;
}

namespace QV::PXT {

class StyleSheetManager;

class ManagerContainer {
public:
    enum eResourceType : int {
        eResourcePictures = 0,
        eResourceStyleSheets = 1,
        eResourceFonts = 2,
    };
    static const char* const s_pResTypePath[3];
    static const char* const s_pResTypes[3];

    enum eLocationMode : int {
        eLocationUndecided = 0,
        eLocationBundle = 1,
        eLocationSkinFolder = 2,
    };

    // The picture cache's key: the resolved name and the picture properties (the alpha flag aside).
    struct tPictureKey {
        std::string name;
        UIA::PictureProperties properties;

        bool operator<(const tPictureKey& other) const;
    };

    ManagerContainer();
    ~ManagerContainer();
    ManagerContainer(const ManagerContainer&) = delete;
    ManagerContainer& operator=(const ManagerContainer&) = delete;

    // A stream over the resource, or null; with `warn`, every failed step is logged.
    std::shared_ptr<GP::Stream> getResourceStream(const GP::CharSequence<char>& name, eResourceType kind, bool warn);
    void checkResourcesLocation();
    eLocationMode getLocationMode() const { return m_locationMode; }
    const GP::FileName& getSkinFolder() const { return m_skinFolder; }

    // The font for the data, kept by the container; never null (see above).
    const UIA::Font* getFont(const UIA::Font::CreateData& data);
    static const UIA::Font::CreateData& getDefaultFontData();

    // A picture loaded when it is first resolved, once per (resolved name, properties).
    LazyPicture getImage(const std::string& name, const UIA::PictureProperties& properties);
    void loadImage(std::shared_ptr<UIA::Picture>& out, const std::string& name,
                   const UIA::PictureProperties& properties, float scale);

    StyleSheetManager& getStyleSheetManager() { return *m_styleSheetManager; }

private:
    std::shared_ptr<GP::Stream> openPath(const GP::FileName& path);
    // getResourceStream, also telling where the resource was found (a file's path, or the bundle
    // resource's type and name) for messages about its content.
    std::shared_ptr<GP::Stream> findResource(const GP::CharSequence<char>& name, eResourceType kind, bool warn,
                                             std::string& where);
    std::shared_ptr<const UIA::Picture> pictureFor(const std::string& name, const UIA::PictureProperties& properties,
                                                   float scale);

    std::unique_ptr<StyleSheetManager> m_styleSheetManager;
    eLocationMode m_locationMode = eLocationUndecided;
    GP::FileName m_skinFolder;
    std::map<UIA::Font::CreateData, std::shared_ptr<UIA::Font>,
             bool (*)(const UIA::Font::CreateData&, const UIA::Font::CreateData&)>
        m_fonts;
    // Null entries record pictures that could not be loaded.
    std::map<tPictureKey, std::shared_ptr<UIA::Picture>> m_pictures;
};

}  // namespace QV::PXT
