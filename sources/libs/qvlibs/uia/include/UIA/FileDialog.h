// Asks the user for a file to open, a name to save to, or a folder, with the platform's modal open
// and save panels. Main thread only; doModal blocks in the panel's modal loop.
#pragma once

#include <GP/FileName.h>
#include <GP/FileType.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct objc_object;

namespace QV::UIA {

class WindowBase;

class FileDialog {
public:
    enum eFileAction : std::uint32_t {
        eFileActionOpen = 0,             // one existing file
        eFileActionSave = 1,             // a file name to save to
        eFileActionChooseDirectory = 2,  // one folder
    };

    FileDialog();
    ~FileDialog();

    void setCaption(const std::string& caption) { m_caption = caption; }
    // The folder the panel starts in and, for saving a file, the name it proposes; empty: the
    // platform's choice.
    void setInitialFileOrDirectory(const GP::FileName& initial) { m_initial = initial; }
    // The groups whose extensions the open and save panels allow; the standard all-files group
    // allows every other type too. Empty: no restriction.
    void setFileTypeGroups(std::vector<const GP::FileTypeGroupDescr*> groups) { m_fileTypeGroups = std::move(groups); }
    void setCanCreateDirectories(bool can) { m_bCanCreateDirectories = can; }
    void setShowExtension(bool show) { m_bShowExtension = show; }
    // Called with the save panel (an NSSavePanel) before it runs.
    void setSavePanelHook(std::function<void(objc_object*)> hook) { m_savePanelHook = std::move(hook); }

    // The choice of the last confirmed doModal, its file type determined; empty otherwise.
    const GP::FileName& getFileName() const { return m_result; }

    // Runs the panel application-modally (the parent is not used: no sheet); true when the user
    // confirmed. An unknown action answers false without showing anything.
    bool doModal(eFileAction action, WindowBase* parent);

private:
    GP::FileName m_result;
    GP::FileName m_initial;
    std::uint32_t m_action = eFileActionOpen;
    std::vector<const GP::FileTypeGroupDescr*> m_fileTypeGroups;
    bool m_bCanCreateDirectories = true;
    bool m_bShowExtension = false;
    std::string m_caption;
    std::function<void(objc_object*)> m_savePanelHook;
};

}  // namespace QV::UIA
