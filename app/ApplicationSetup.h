// What the program sets on its application object before any window: its name and the toolkit's Russian texts.
#pragma once

class QApplication;

namespace qm {

// Names the application "Quillmark" (the name the desktop, error boxes and
// the settings show; window captions stay as the windows set them), gives
// its windows the application's icon, and loads
// the toolkit's Russian translations, so that its standard dialogs (open,
// save, colour, message boxes) speak the program's language. A missing
// translation file leaves those dialogs in English and is not an error.
void SetUpApplication(QApplication& app);

}  // namespace qm
