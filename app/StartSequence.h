// The program's start after its application object: splash, windows, first show, and the script named on the command line.
#pragma once

#include <string>

namespace qm {

class TForm1;

// Shows the splash modally over the hidden main window (the start waits
// until it closes), creates the other windows hidden, shows the main window
// (its first show reads the settings and the vocabulary), then opens script
// when one is named, as the open command opens it: a file that cannot be read
// gets the open command's error box and the editor stays empty. A relative
// name is taken from the current folder; the file dialogs then offer the
// script's folder.
void StartProgram(TForm1& form, const std::string& script);

}  // namespace qm
