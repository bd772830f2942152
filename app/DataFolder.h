// Where the program finds its data files: data/ under the current folder, else the installed data folder, and the user's own items.
#pragma once

#include <QLoggingCategory>

#include <string>
#include <vector>

namespace qm {

// "quillmark.data": which data files a run reads. Its info messages are off
// unless QT_LOGGING_RULES turns them on ("quillmark.data.info=true").
Q_DECLARE_LOGGING_CATEGORY(DataFiles)

// The places the search looks at, as paths of the system.
struct TDataPlaces {
  std::string Current;    // the current folder
  std::string Installed;  // the installed data folder, <prefix>/share/quillmark/data
  std::string UserData;   // the user's data home: $XDG_DATA_HOME, else ~/.local/share
};

// The places of this run. The installed data folder is found from the
// program's own folder (<prefix>/bin), so an installed tree works wherever
// its prefix is.
TDataPlaces ThisRunsPlaces();

// Puts this run's installed data folder elsewhere ("" gives back the one
// found from the program's folder). Tests point it at a folder of their own.
void SetInstalledDataFolder(const std::string& folder);

// The folder of scriptitems.xml, help.xml and user.txt: data/ under the
// current folder when it holds scriptitems.xml (a program started in its own
// folder), else the installed data folder when that holds it, else data/
// under the current folder again, whose files are then missing.
std::string DataFolder(const TDataPlaces& places = ThisRunsPlaces());

// The files of user items in their reading order: user.txt of the data
// folder, then the user's own quillmark/user.txt under the data home when it
// exists and the data folder is the installed one. A program started in its
// own folder keeps to its own data.
std::vector<std::string> UserItemFiles(const TDataPlaces& places = ThisRunsPlaces());

}  // namespace qm
