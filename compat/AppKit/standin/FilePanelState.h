// The state of a file panel (NSSavePanel.h, NSOpenPanel.h) and the GTK dialog that runs it. Internal
// to the two classes.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>
#include <vector>

namespace qvcompat::appkit {

struct tFilePanel {
    tFilePanel() = default;
    tFilePanel(const tFilePanel&) = delete;
    tFilePanel& operator=(const tFilePanel&) = delete;
    ~tFilePanel();

    // Replaces the chosen URLs (released by the panel).
    void setChosen(std::vector<CFURLRef> urls);
    // The chosen URLs as an array, made on first use and owned by the panel.
    CFArrayRef chosenArray();

    bool open = false;  // an open panel (else a save panel)
    bool canChooseFiles = true;
    bool canChooseDirectories = false;
    bool allowsMultipleSelection = false;
    bool canCreateDirectories = true;
    bool extensionHidden = true;
    bool allowsOtherFileTypes = false;
    std::string title;
    std::string prompt;
    std::string directory;  // POSIX path; empty: GTK's choice
    std::string name;       // the proposed name of a save panel
    std::vector<std::string> allowedExtensions;
    std::vector<CFURLRef> chosen;  // retained
    CFArrayRef m_chosenArray = nullptr;
};

// Runs the panel as a modal GtkFileChooserDialog; true when the user confirmed (the chosen URLs are
// then set). False at once without a display.
bool runFilePanel(tFilePanel& panel);

}  // namespace qvcompat::appkit
