// Tests of the error and warning boxes as the toolkit shows them: their icon, title and text.
#include "app/ErrorBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <string>

namespace qm {
namespace {

// What the box that show opened held, closed as soon as it is up.
struct TShownBox {
  QMessageBox::Icon Icon = QMessageBox::NoIcon;
  QString Title;
  QString Text;
};

TShownBox Shown(void (*show)(const std::string&), const std::string& message) {
  TShownBox shown;
  QTimer closer;
  QObject::connect(&closer, &QTimer::timeout, [&] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    if (auto* box = qobject_cast<QMessageBox*>(modal)) shown = {box->icon(), box->windowTitle(), box->text()};
    modal->close();
  });
  closer.start(10);
  show(message);
  return shown;
}

TEST(ErrorBox, ErrorsAndWarningsShowTheirOwnIconsUnderTheProgramsName) {
  const struct {
    void (*Show)(const std::string&);
    QMessageBox::Icon Icon;
  } cases[] = {{ShowErrorBox, QMessageBox::Critical}, {ShowWarningBox, QMessageBox::Warning}};
  for (const auto& c : cases) {
    const TShownBox shown = Shown(c.Show, "Файл открыт.");
    EXPECT_EQ(shown.Icon, c.Icon);
    EXPECT_EQ(shown.Title, "Quillmark");
    EXPECT_EQ(shown.Text, "Файл открыт.");
  }
}

}  // namespace
}  // namespace qm
