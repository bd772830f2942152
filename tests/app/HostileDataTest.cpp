// The main window with data files nobody planned for: a 50 MB help file, user items that are long or
// hostile as lookup paths, and a settings file that vanishes while the program runs.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFile>
#include <QListWidget>

#include <optional>
#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/MainWindow.h"
#include "platform/CodePage.h"

namespace qm {
namespace {

const char* const kVocabulary =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><items><extension><function>GetPos</function>"
    "<function>Activate</function></extension></items>";

// A help file of at least `bytes` bytes: many other elements, then GetPos's.
std::string BigHelp(size_t bytes) {
  std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><help>";
  const std::string filler(900, 'w');
  for (int i = 0; xml.size() < bytes; ++i)
    xml += "<Item" + std::to_string(i) + " syntax=\"x\">" + filler + "</Item" + std::to_string(i) + ">";
  return xml + "<GetPos syntax=\"GetPos axis\">Координата.</GetPos></help>";
}

class HostileData : public MainWindow {
 protected:
  void Show(int category) {
    form.emplace();
    form->show();
    form->ComboBox1->setCurrentIndex(category);
    form->ComboBox1Change();
  }
  void Type(const std::u16string& text) {
    for (const char16_t c : text) form->PlusMemoU1.KeyPress(c);
  }
  std::optional<TForm1> form;
};

TEST_F(HostileData, AFiftyMegabyteHelpFileStillGivesHelp) {
  WriteFile("data/scriptitems.xml", kVocabulary);
  WriteFile("data/help.xml", BigHelp(50u << 20));
  Show(0);
  Type(u"getp");
  EXPECT_EQ(form->PlusMemoU2.Text(), u"GetPos axis\r\nКоордината.");
  EXPECT_TRUE(errors.empty());
}

TEST_F(HostileData, LongAndHostileUserItemsAreListedInsertedAndWithoutHelp) {
  WriteFile("data/scriptitems.xml", kVocabulary);
  WriteFile("data/help.xml",
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><help><GetPos syntax=\"GetPos axis\">Координата.</GetPos>"
            "<secret syntax=\"no\">must not show</secret></help>");
  const std::string longName(10000, 'L');
  const std::vector<std::string> hostile = {longName,
                                            "'] | //*",
                                            "\" or \"1\"=\"1",
                                            std::string(2000, '(') + "x",
                                            "GetPos/../secret",
                                            "*",
                                            "//secret",
                                            "secret[1]",
                                            "@syntax",
                                            "text()",
                                            "a b",
                                            "\xEF\xF3\xED\xEA\xF2"};
  std::string user;
  for (const std::string& item : hostile) user += item + "\r\n";
  WriteFile("data/user.txt", user);
  Show(5);
  ASSERT_EQ(form->Items().size(), hostile.size());
  // Every item passes the help lookup: none shows another element's help.
  for (int row = 0; row < form->ListBox1->count(); ++row) {
    form->ListBox1->setCurrentRow(row);
    form->PlusMemoU1Change();
    EXPECT_EQ(form->PlusMemoU2.Text().find(u"must not show"), std::u16string::npos) << row;
  }
  // The 10,000-character item inserts whole at a blank caret.
  form->PlusMemoU1.SetText(u"");
  for (int row = 0; row < form->ListBox1->count(); ++row)
    if (form->ListBox1->item(row)->text().size() == 10000) form->ListBox1->setCurrentRow(row);
  form->ListBox1DblClick();
  EXPECT_EQ(form->PlusMemoU1.Text().find(AnsiToWide(longName)), 0u);
  EXPECT_TRUE(errors.empty());
}

TEST_F(HostileData, ASettingsFileThatVanishesIsWrittenAfreshAtClose) {
  WriteFile(Ini(), "[Inspector]\nWidth=170\nValue=0\n[Editor]\nFont=Kept Font\n");
  Show(0);
  EXPECT_EQ(form->Panel1->width(), 170);
  ASSERT_TRUE(QFile::remove(QString::fromStdString(Ini())));
  EXPECT_TRUE(form->close());
  const std::string ini = ReadFile(Ini());
  EXPECT_NE(ini.find("[MainWindow]"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Width=170"), std::string::npos) << ini;
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace qm
