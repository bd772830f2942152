// Tests of the data folder search: data/ under the current folder first, then the installed folder, then the user's own items; and the real main window reading from the folder that wins.
#include "app/DataFolder.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QListWidget>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "TempFolder.h"
#include "app/MainWindow.h"
#include "editor/control/PlusMemoU.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

// What lies in the three places before a search.
struct TSearchCase {
  const char* Name;
  std::vector<const char*> LocalFiles;      // under <current>/data
  std::vector<const char*> InstalledFiles;  // under the installed folder
  bool OwnItems;                            // <data home>/quillmark/user.txt exists
  const char* Winner;                       // "local" or "installed"
  bool OwnItemsRead;
};

// A case by its name in gtest's messages.
void PrintTo(const TSearchCase& c, std::ostream* os) { *os << c.Name; }

const TSearchCase kSearchCases[] = {
    {"only the local folder", {"scriptitems.xml", "user.txt"}, {}, true, "local", false},
    {"only the installed folder", {}, {"scriptitems.xml", "user.txt"}, true, "installed", true},
    {"both: the local one wins", {"scriptitems.xml"}, {"scriptitems.xml"}, true, "local", false},
    {"a local folder without a vocabulary", {"help.xml", "user.txt"}, {"scriptitems.xml"}, false, "installed", false},
    {"an installed folder without a vocabulary", {}, {"help.xml", "user.txt"}, true, "local", false},
    {"neither", {}, {}, true, "local", false},
};

class DataFolderSearch : public ::testing::TestWithParam<TSearchCase> {};

TEST_P(DataFolderSearch, TheLocalVocabularyWinsAndTheUsersItemsFollowTheInstalledOnes) {
  const TSearchCase& c = GetParam();
  test::TempFolder root;
  const TDataPlaces places{root / "work", root / "usr/share/quillmark/data", root / "home/.local/share"};
  fs::create_directories(places.Current);
  for (const char* name : c.LocalFiles) {
    fs::create_directories(places.Current + "/data");
    test::WriteFile(places.Current + "/data/" + name, "x");
  }
  for (const char* name : c.InstalledFiles) {
    fs::create_directories(places.Installed);
    test::WriteFile(places.Installed + "/" + name, "x");
  }
  const std::string own = places.UserData + "/quillmark/user.txt";
  if (c.OwnItems) {
    fs::create_directories(places.UserData + "/quillmark");
    test::WriteFile(own, "mine");
  }

  const std::string expected = std::string(c.Winner) == "local" ? places.Current + "/data" : places.Installed;
  EXPECT_EQ(DataFolder(places), expected);
  std::vector<std::string> files{expected + "/user.txt"};
  if (c.OwnItemsRead) files.push_back(own);
  EXPECT_EQ(UserItemFiles(places), files);
}

INSTANTIATE_TEST_SUITE_P(Places, DataFolderSearch, ::testing::ValuesIn(kSearchCases),
                         [](const ::testing::TestParamInfo<TSearchCase>& info) {
                           std::string name;
                           for (const char* c = info.param.Name; *c != 0; ++c)
                             if (std::isalnum(static_cast<unsigned char>(*c))) name += *c;
                           return name;
                         });

TEST(DataFolderSearch, AFolderNamedLikeTheVocabularyIsNoVocabulary) {
  test::TempFolder root;
  const TDataPlaces places{root / "work", root / "installed", root / "home"};
  fs::create_directories(places.Current + "/data/scriptitems.xml");
  fs::create_directories(places.Installed);
  test::WriteFile(places.Installed + "/scriptitems.xml", "x");
  EXPECT_EQ(DataFolder(places), places.Installed);
}

TEST(DataFolderSearch, TheUsersOwnItemsAreListedWhateverStandsUnderTheirName) {
  // A folder or a broken link there is read, and so reported, not skipped.
  test::TempFolder root;
  const TDataPlaces places{root / "work", root / "installed", root / "home"};
  fs::create_directories(places.Installed);
  test::WriteFile(places.Installed + "/scriptitems.xml", "x");
  const std::string own = places.UserData + "/quillmark/user.txt";
  fs::create_directories(places.UserData + "/quillmark");
  fs::create_symlink(root / "nowhere", own);
  EXPECT_EQ(UserItemFiles(places), (std::vector<std::string>{places.Installed + "/user.txt", own}));
  fs::remove(own);
  fs::create_directories(own);
  EXPECT_EQ(UserItemFiles(places), (std::vector<std::string>{places.Installed + "/user.txt", own}));
}

// The places of a run: the current folder, the installed folder beside the
// program's own, and the data home of the XDG rules.
class ThisRun : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* xdg = std::getenv("XDG_DATA_HOME")) saved = xdg;
    hadXdg = std::getenv("XDG_DATA_HOME") != nullptr;
  }
  void TearDown() override {
    if (hadXdg)
      setenv("XDG_DATA_HOME", saved.c_str(), 1);
    else
      unsetenv("XDG_DATA_HOME");
    SetInstalledDataFolder("");
  }
  std::string saved;
  bool hadXdg = false;
};

TEST_F(ThisRun, TheInstalledFolderIsFoundFromTheProgramsFolder) {
  const TDataPlaces places = ThisRunsPlaces();
  EXPECT_EQ(places.Current, QDir::currentPath().toStdString());
  const QString expected = QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/quillmark/data");
  EXPECT_EQ(places.Installed, expected.toStdString());
  SetInstalledDataFolder("/elsewhere/data");
  EXPECT_EQ(ThisRunsPlaces().Installed, "/elsewhere/data");
}

TEST_F(ThisRun, TheDataHomeFollowsTheXdgRules) {
  const std::string fallback = QDir::homePath().toStdString() + "/.local/share";
  const struct {
    const char* Value;  // nullptr: unset
    std::string Expected;
  } cases[] = {
      {"/srv/user-data", "/srv/user-data"},
      {"relative/data", fallback},  // a relative value is invalid
      {"", fallback},
      {nullptr, fallback},
  };
  for (const auto& c : cases) {
    if (c.Value != nullptr)
      setenv("XDG_DATA_HOME", c.Value, 1);
    else
      unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ThisRunsPlaces().UserData, c.Expected) << (c.Value != nullptr ? c.Value : "(unset)");
  }
}

// The real main window started in an empty folder, with an installed data
// folder of the test's own.
class InstalledData : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    QDir().rmdir("data");
    installed = work.path().toStdString() + "/installed/share/quillmark/data";
    fs::create_directories(installed);
    WriteFile(installed + "/scriptitems.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension>"
              "<function>GetPos</function><function>SetPos</function><blocktype>GameMode</blocktype>"
              "</extension></items>");
    WriteFile(
        installed + "/help.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><help><GetPos syntax=\"GetPos axis\">Установлено.</GetPos></help>");
    WriteFile(installed + "/user.txt", "shipped item\r\n");
    SetInstalledDataFolder(installed);
    ownFolder = userData.path().toStdString() + "/quillmark";
  }

  std::vector<std::string> ListTexts() const {
    std::vector<std::string> texts;
    for (int i = 0; i < form->ListBox1->count(); ++i) texts.push_back(form->ListBox1->item(i)->text().toStdString());
    return texts;
  }
  void Pick(int category) {
    form->ComboBox1->setCurrentIndex(category);
    form->ComboBox1Change();
  }

  std::string installed;
  std::string ownFolder;
  std::optional<TForm1> form;
};

TEST_F(InstalledData, AProgramStartedElsewhereReadsTheInstalledVocabularyHelpAndItems) {
  fs::create_directories(ownFolder);
  WriteFile(ownFolder + "/user.txt", "my own item\nanother\n");
  form.emplace();
  form->show();
  EXPECT_EQ(form->Chain().U(4).Keywords.Count(), 2);
  EXPECT_EQ(form->Chain().U(4).Keywords.Entry(1).Keyword, u"SetPos");
  Pick(0);
  form->PlusMemoU1.SetText(u"GetPos");
  form->PlusMemoU1.SetSelStart(6);
  form->PlusMemoU1Change();
  EXPECT_EQ(form->PlusMemoU2.Text(), u"GetPos axis\r\nУстановлено.");
  Pick(5);
  EXPECT_EQ(ListTexts(), (std::vector<std::string>{"another", "my own item", "shipped item"}));
  EXPECT_TRUE(errors.empty());
}

TEST_F(InstalledData, AProgramStartedInItsOwnFolderKeepsToItsOwnData) {
  fs::create_directories(ownFolder);
  WriteFile(ownFolder + "/user.txt", "my own item\n");
  QDir().mkpath("data");
  WriteFile("data/scriptitems.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension><function>Local</function>"
            "</extension></items>");
  WriteFile("data/user.txt", "local item\n");
  form.emplace();
  form->show();
  ASSERT_EQ(form->Chain().U(4).Keywords.Count(), 1);
  EXPECT_EQ(form->Chain().U(4).Keywords.Entry(0).Keyword, u"Local");
  Pick(5);
  EXPECT_EQ(ListTexts(), std::vector<std::string>{"local item"});
  EXPECT_TRUE(errors.empty());
}

TEST_F(InstalledData, AnUnreadableOwnItemsFileIsReportedAndTheShippedItemsStay) {
  // A folder where the file should be: it cannot be read, whoever runs the test.
  fs::create_directories(ownFolder + "/user.txt");
  form.emplace();
  form->show();
  Pick(5);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "Cannot open file \"" + ownFolder + "/user.txt\". Is a directory");
  EXPECT_EQ(ListTexts(), std::vector<std::string>{"shipped item"});
}

}  // namespace
}  // namespace qm
