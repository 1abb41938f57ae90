// The built-in command ids: four-character codes, the tags of the application menu's items and the
// commandId of eEventCommandExecute. Other commands are the program's own menu-item tags.
#pragma once

namespace QV::UIA {

enum eCommand : int {
    eCommandQuit = 0x71756974,         // 'quit'
    eCommandAbout = 0x61626F75,        // 'abou'
    eCommandPreferences = 0x70726566,  // 'pref'
};

}  // namespace QV::UIA
