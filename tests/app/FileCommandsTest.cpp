// Tests of the new-script dialog and of open and save as text or RTF on the real main window, with the file dialogs answered by the tests.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "TempFolder.h"
#include "app/MainWindow.h"
#include "app/NewScriptDialog.h"
#include "editor/control/PlusMemoU.h"

namespace qm {
namespace {

namespace fs = std::filesystem;

const char* const kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension>"
    "<function>GetPos</function><var>short</var><command>set</command>"
    "<blocktype>GameMode</blocktype><blocktype>MenuMode</blocktype></extension></items>";

// The text of an RTF file's body as a reader takes it: control words and
// braces dropped, escaped characters kept, line ends ignored, \par a CR LF;
// nothing after the document's closing brace.
std::string RtfBodyText(const std::string& rtf) {
  auto isLetter = [](char c) { return c >= 'a' && c <= 'z'; };
  auto isDigit = [](char c) { return (c >= '0' && c <= '9') || c == '-'; };
  std::string out;
  const size_t end = rtf.rfind('}');
  for (size_t i = rtf.find("\\pard"); i < end;) {
    const char c = rtf[i];
    if (c == '\\' && i + 1 < rtf.size() && isLetter(rtf[i + 1])) {
      size_t j = i + 1;
      while (j < rtf.size() && isLetter(rtf[j])) ++j;
      const std::string word = rtf.substr(i + 1, j - i - 1);
      while (j < rtf.size() && isDigit(rtf[j])) ++j;
      if (j < rtf.size() && rtf[j] == ' ') ++j;
      if (word == "par") out += "\r\n";
      i = j;
    } else if (c == '\\') {
      if (i + 1 < rtf.size()) out += rtf[i + 1];
      i += 2;
    } else {
      if (c != '{' && c != '}' && c != '\r' && c != '\n') out += c;
      ++i;
    }
  }
  return out;
}

class FileCommands : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    WriteFile("data/scriptitems.xml", kVocabulary);
    form.emplace();
    form->CreateForms();  // as the start sequence does after the splash
    form->show();
    realDialog = form->ExecFileDialog;
    // The dialogs answer with the file and filter entry the test gives.
    form->ExecFileDialog = [this](QFileDialog& dialog, TForm1::TFileChoice& choice) {
      asked.push_back(&dialog);
      if (answer.FileName.isEmpty()) return false;
      choice = answer;
      return true;
    };
  }
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }

  std::string Path(const std::string& name) const { return work.path().toStdString() + "/" + name; }
  void Answer(const std::string& path, int filterIndex) {
    answer = TForm1::TFileChoice{QString::fromStdString(path), filterIndex};
  }
  void Open(const std::string& path) {
    Answer(path, 1);
    form->Action("OpenScript")->trigger();
  }
  void Save(const std::string& path, int filterIndex) {
    Answer(path, filterIndex);
    form->Action("SaveScript")->trigger();
  }
  TPlusMemoU& Memo() { return form->PlusMemoU1; }

  // Runs the new-script dialog: the name typed, the block type picked (none
  // when empty), then OK.
  void NewScript(const QString& name, const QString& blockType) {
    QTimer::singleShot(0, form->Form2, [&] {
      TForm2& dialog = *form->Form2;
      seenName = dialog.Edit1->text();
      for (int i = 0; i < dialog.ComboBox1->count(); ++i) seenTypes.push_back(dialog.ComboBox1->itemText(i));
      seenIndex = dialog.ComboBox1->currentIndex();
      dialog.Edit1->setText(name);
      if (!blockType.isEmpty()) dialog.ComboBox1->setCurrentText(blockType);
      dialog.Button1->click();
    });
    form->Action("NewScript")->trigger();
  }

  std::optional<TForm1> form;
  std::function<bool(QFileDialog&, TForm1::TFileChoice&)> realDialog;
  TForm1::TFileChoice answer;
  std::vector<QFileDialog*> asked;
  QString seenName;
  QStringList seenTypes;
  int seenIndex = -2;
};

TEST_F(FileCommands, NewScriptWithABlockTypePutsTheCaretInsideTheBlock) {
  Memo().SetText(u"old text");
  Memo().ClearUndo();
  NewScript("  Test  ", "GameMode");
  EXPECT_EQ(seenName, "NewScript");
  EXPECT_EQ(seenTypes, (QStringList{"GameMode", "MenuMode"}));
  EXPECT_EQ(seenIndex, -1);
  EXPECT_EQ(Memo().Text(), u"ScriptName Test\r\n\r\nbegin GameMode\r\n\r\n\r\nend\r\n");
  EXPECT_EQ(Memo().CaretLine(), 3);
  EXPECT_EQ(Memo().SelStart(), Memo().ParagraphStart(3));
  EXPECT_FALSE(form->Form2->isVisible());
  EXPECT_TRUE(errors.empty());
  // The old text is one undo chain away: the new script was made by edits.
  while (Memo().CanUndo()) Memo().Undo();
  EXPECT_EQ(Memo().Text(), u"old text");
}

TEST_F(FileCommands, NewScriptWithoutABlockTypeStopsAfterBeginAndOffersTheBlockTypes) {
  form->ComboBox1->setCurrentIndex(0);
  form->ComboBox1Change();
  NewScript("\tTest ", "");
  EXPECT_EQ(Memo().Text(), u"ScriptName Test\r\n\r\nbegin \r\n\r\nend\r\n");
  EXPECT_EQ(Memo().SelStart(), static_cast<int32_t>(std::u16string(u"ScriptName Test\r\n\r\nbegin ").size()));
  EXPECT_EQ(Memo().SelLength(), 0);
  EXPECT_EQ(form->ComboBox1->currentIndex(), 3);
  EXPECT_EQ(form->Items(), (std::vector<std::string>{"GameMode", "MenuMode"}));
}

TEST_F(FileCommands, TheDialogKeepsItsNameAndRefreshesItsBlockTypes) {
  NewScript("  Test  ", "MenuMode");
  form->Chain().U(3).Keywords.Insert(0, "Activate");
  NewScript("Second", "");
  // The name typed last, and a fresh list without a selection.
  EXPECT_EQ(seenName, "  Test  ");
  EXPECT_EQ(seenTypes.mid(2), (QStringList{"Activate", "GameMode", "MenuMode"}));
  EXPECT_EQ(seenIndex, -1);
  EXPECT_EQ(form->Form2->Edit1->text(), "Second");
  EXPECT_EQ(Memo().ParagraphText(0), u"ScriptName Second");
}

TEST_F(FileCommands, OkIsEnabledOnlyForANameThatIsNotBlank) {
  TForm2& dialog = *form->Form2;
  const std::pair<const char*, bool> cases[] = {{"Test", true}, {"", false}, {"  \t ", false}, {" x ", true}};
  for (const auto& [name, enabled] : cases) {
    dialog.Edit1->setText(name);
    EXPECT_EQ(dialog.Button1->isEnabled(), enabled) << '"' << name << '"';
  }
  EXPECT_EQ(dialog.windowTitle(), "Новый скрипт...");
  EXPECT_EQ(dialog.size(), QSize(397, 69));
  EXPECT_TRUE(dialog.Button1->isDefault());
  EXPECT_EQ(dialog.Button1->text(), "ОК");
  EXPECT_EQ(dialog.Button2->text(), "Отмена");
}

TEST_F(FileCommands, TheFileDialogsCarryTheirTitlesFiltersAndDefaultExtension) {
  Open(Path("none"));
  Save("", 1);
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0]->windowTitle(), "Открыть скрипт...");
  EXPECT_EQ(asked[0]->nameFilters(), QStringList{"Текстовый файл (*.txt)"});
  EXPECT_EQ(asked[0]->defaultSuffix(), "");
  EXPECT_EQ(asked[1]->windowTitle(), "Сохранить скрипт как...");
  EXPECT_EQ(asked[1]->nameFilters(), (QStringList{"Текстовый файл (*.txt)", "Файл RTF (*.rtf)"}));
  EXPECT_EQ(asked[1]->defaultSuffix(), "txt");
  EXPECT_EQ(asked[1]->acceptMode(), QFileDialog::AcceptSave);
}

TEST_F(FileCommands, TheRealSaveDialogGivesItsFileAndFilterEntry) {
  form->ExecFileDialog = realDialog;
  Memo().SetText(u"x");
  QFileDialog& dialog = *form->JvSaveDialog1;
  dialog.setDirectory(work.path());
  const std::pair<const char*, bool> cases[] = {{"Файл RTF (*.rtf)", true}, {"Текстовый файл (*.txt)", false}};
  for (const auto& [filter, rtf] : cases) {
    QTimer::singleShot(0, &dialog, [&, filter = filter, rtf = rtf] {
      dialog.selectNameFilter(filter);
      dialog.selectFile(QString::fromStdString(Path(rtf ? "chosen.rtf" : "chosen.txt")));
      static_cast<QDialog&>(dialog).accept();  // QFileDialog's own accept is protected
    });
    EXPECT_TRUE(form->SaveScriptExecute()) << filter;
  }
  EXPECT_EQ(ReadFile(Path("chosen.rtf")).rfind("{\\rtf1", 0), 0u);
  EXPECT_EQ(ReadFile(Path("chosen.txt")), "x");
  // Cancelled: nothing is written.
  QTimer::singleShot(0, &dialog, [&] { dialog.reject(); });
  EXPECT_FALSE(form->SaveScriptExecute());
}

TEST_F(FileCommands, EveryLineEndOpensAsParagraphsAndSavesAsCrLf) {
  const std::pair<const char*, const char*> cases[] = {
      {"LF", "ScriptName A\nbegin GameMode\nend"},
      {"CR", "ScriptName A\rbegin GameMode\rend"},
      {"CR LF", "ScriptName A\r\nbegin GameMode\r\nend"},
      {"LF CR", "ScriptName A\n\rbegin GameMode\n\rend"},
  };
  for (const auto& [name, bytes] : cases) {
    WriteFile(Path("in.txt"), bytes);
    Open(Path("in.txt"));
    EXPECT_EQ(Memo().ParagraphCount(), 3) << name;
    EXPECT_EQ(Memo().ParagraphText(1), u"begin GameMode") << name;
    Save(Path("out.txt"), 1);
    EXPECT_EQ(ReadFile(Path("out.txt")), "ScriptName A\r\nbegin GameMode\r\nend") << name;
  }
  EXPECT_TRUE(errors.empty());
}

TEST_F(FileCommands, NulBytesOpenAsSpacesAndNothingAfterThemIsLost) {
  WriteFile(Path("in.txt"), std::string("\0scn A\r\nset x\0to 1\r\nend\0", 24));
  Open(Path("in.txt"));
  EXPECT_EQ(Memo().Text(), u" scn A\r\nset x to 1\r\nend ");
  // A warning, not an error: the file opened whole.
  EXPECT_EQ(warnings,
            std::vector<std::string>{"Нулевые байты (NUL) в файле " + Path("in.txt") + " заменены пробелами."});
  EXPECT_TRUE(errors.empty());
  Save(Path("out.txt"), 1);
  EXPECT_EQ(ReadFile(Path("out.txt")), " scn A\r\nset x to 1\r\nend ");
}

TEST_F(FileCommands, TextIsReadAndWrittenInTheEightBitCodePage) {
  // "Привет" in Windows-1251, no byte-order mark recognised.
  WriteFile(Path("in.txt"), "\xCF\xF0\xE8\xE2\xE5\xF2 x");
  Open(Path("in.txt"));
  EXPECT_EQ(Memo().Text(), u"Привет x");
  // A character the code page lacks becomes '?'.
  Memo().SetSelStart(Memo().TextLength());
  Memo().SetSelText(u" \u2713");
  Save(Path("out.txt"), 1);
  EXPECT_EQ(ReadFile(Path("out.txt")), "\xCF\xF0\xE8\xE2\xE5\xF2 x ?");
}

TEST_F(FileCommands, EveryByteValueOpensAndSavesAsItWasAndTheRtfHoldsIt) {
  // Bytes 1 to 255 in lines of sixteen, CR LF between them; CR and LF themselves stand as the breaks.
  std::string bytes;
  std::vector<std::string> lines(1);
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n') continue;
    lines.back() += static_cast<char>(b);
    if (b % 16 == 15 && b < 255) lines.emplace_back();
  }
  for (size_t i = 0; i < lines.size(); ++i) bytes += (i ? "\r\n" : "") + lines[i];
  WriteFile(Path("in.txt"), bytes);
  Open(Path("in.txt"));
  EXPECT_TRUE(errors.empty());
  Save(Path("out.txt"), 1);
  EXPECT_EQ(ReadFile(Path("out.txt")), bytes);
  // The RTF holds each byte as it was, apart from its own escapes of a backslash and braces.
  Save(Path("out.rtf"), 2);
  EXPECT_EQ(RtfBodyText(ReadFile(Path("out.rtf"))), bytes + "\r\n");
}

// The visible texts of a dialog's labels and buttons.
QStringList DialogTexts(QWidget& dialog) {
  QStringList texts;
  for (QLabel* label : dialog.findChildren<QLabel*>()) texts << label->text();
  for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) texts << button->text();
  return texts;
}

TEST_F(FileCommands, TheToolkitsOwnDialogsSpeakRussian) {
  QColorDialog colours;
  for (QWidget* dialog : std::initializer_list<QWidget*>{form->JvOpenDialog1, form->JvSaveDialog1, &colours}) {
    const QStringList texts = DialogTexts(*dialog);
    EXPECT_TRUE(texts.contains("Отмена")) << texts.join('|').toStdString();
    for (const char* english :
         {"Look in:", "File &name:", "Files of type:", "Cancel", "&Open", "&Save", "&Basic colors", "&Custom colors"})
      EXPECT_FALSE(texts.contains(english)) << english;
  }
}

TEST_F(FileCommands, TheRtfEntryWritesRtfWhateverTheExtension) {
  Memo().SetText(u"ScriptName A\r\nx to {y}");
  Save(Path("script.txt"), 2);
  const std::string rtf = ReadFile(Path("script.txt"));
  EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\deff0", 0), 0u);
  EXPECT_NE(rtf.find("x to \\{y\\}"), std::string::npos);
  // And the text entry writes text into a .rtf name.
  Save(Path("plain.rtf"), 1);
  EXPECT_EQ(ReadFile(Path("plain.rtf")), "ScriptName A\r\nx to {y}");
}

TEST_F(FileCommands, AnEmptyEditorSavesAsAnEmptyFile) {
  WriteFile(Path("old.txt"), "previous content");
  Save(Path("old.txt"), 1);
  EXPECT_TRUE(fs::exists(Path("old.txt")));
  EXPECT_EQ(fs::file_size(Path("old.txt")), 0u);
}

TEST_F(FileCommands, ACancelledDialogDoesNothing) {
  Memo().SetText(u"text");
  answer = {};
  EXPECT_FALSE(form->SaveScriptExecute());
  form->OpenScriptExecute();
  EXPECT_EQ(Memo().Text(), u"text");
  EXPECT_EQ(asked.size(), 2u);
}

TEST_F(FileCommands, AFailedOpenShowsTheFileErrorAndKeepsTheText) {
  Memo().SetText(u"kept");
  Open(Path("missing.txt"));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot open file \"" + Path("missing.txt") + "\". ", 0), 0u) << errors[0];
  EXPECT_EQ(Memo().Text(), u"kept");
}

TEST_F(FileCommands, ASaveThatCannotCreateTheFileShowsTheFileError) {
  Memo().SetText(u"text");
  for (const int filter : {1, 2}) {
    errors.clear();
    Save(Path("no-folder/script.txt"), filter);
    ASSERT_EQ(errors.size(), 1u) << filter;
    EXPECT_EQ(errors[0].rfind("Cannot create file \"" + Path("no-folder/script.txt") + "\". ", 0), 0u) << errors[0];
  }
  EXPECT_EQ(Memo().Text(), u"text");
}

// Files written while it lives may not grow beyond `bytes`: a longer write
// fails midway with EFBIG (also for root), instead of killing the process.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int) = nullptr;
};

TEST_F(FileCommands, ASaveThatFailsMidwayKeepsTheOldFile) {
  fs::create_directory(Path("folder"));
  WriteFile(Path("folder/script.txt"), "old");
  std::u16string text;
  for (int i = 0; i < 4000; ++i) text += u"set x to 1\r\n";
  Memo().SetText(text);
  for (const int filter : {1, 2}) {
    errors.clear();
    {
      FileSizeLimit limit(4096);
      Save(Path("folder/script.txt"), filter);
    }
    ASSERT_EQ(errors.size(), 1u) << filter;
    EXPECT_EQ(errors[0], "Stream write error");
    EXPECT_EQ(ReadFile(Path("folder/script.txt")), "old") << filter;
    // No temporary file is left beside it.
    EXPECT_EQ(test::Names(Path("folder")), std::vector<std::string>{"script.txt"}) << filter;
  }
  EXPECT_EQ(Memo().Text(), text);
}

TEST_F(FileCommands, ASaveIntoAnUnwritableFolderKeepsTheOldFile) {
  fs::create_directory(Path("locked"));
  WriteFile(Path("locked/script.txt"), "old");
  fs::permissions(Path("locked"), fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(Path("locked").c_str(), W_OK) == 0) {
    fs::permissions(Path("locked"), fs::perms::owner_all);
    GTEST_SKIP() << "this user can write into read-only folders (root)";
  }
  Memo().SetText(u"new");
  for (const int filter : {1, 2}) Save(Path("locked/script.txt"), filter);
  fs::permissions(Path("locked"), fs::perms::owner_all);
  EXPECT_EQ(errors.size(), 2u);
  EXPECT_EQ(ReadFile(Path("locked/script.txt")), "old");
  EXPECT_EQ(test::Names(Path("locked")), std::vector<std::string>{"script.txt"});
}

TEST_F(FileCommands, ASymbolicLinkStaysALinkAndItsTargetGetsTheText) {
  fs::create_directory(Path("real"));
  WriteFile(Path("real/script.txt"), "old");
  fs::create_symlink(Path("real/script.txt"), Path("link.txt"));
  Memo().SetText(u"new");
  Save(Path("link.txt"), 1);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(ReadFile(Path("real/script.txt")), "new");
  Save(Path("link.txt"), 2);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(ReadFile(Path("real/script.txt")).rfind("{\\rtf1", 0), 0u);
  EXPECT_TRUE(errors.empty());
}

TEST_F(FileCommands, AFailedSaveThroughALinkKeepsTheLinkAndItsTarget) {
  fs::create_directory(Path("real"));
  WriteFile(Path("real/script.txt"), "old");
  fs::create_symlink(Path("real/script.txt"), Path("link.txt"));
  fs::permissions(Path("real"), fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(Path("real").c_str(), W_OK) == 0) {
    fs::permissions(Path("real"), fs::perms::owner_all);
    GTEST_SKIP() << "this user can write into read-only folders (root)";
  }
  Memo().SetText(u"new");
  Save(Path("link.txt"), 1);
  fs::permissions(Path("real"), fs::perms::owner_all);
  EXPECT_EQ(errors.size(), 1u);
  EXPECT_TRUE(fs::is_symlink(Path("link.txt")));
  EXPECT_EQ(ReadFile(Path("real/script.txt")), "old");
}

}  // namespace
}  // namespace qm
