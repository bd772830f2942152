// The main window and its file dialog under a real window manager on an X display: the caption the
// window manager shows, and the file name completion list closing with the dialog.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QProcess>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <optional>

#include "AppFixture.h"
#include "app/MainWindow.h"
#include "editor/control/PlusMemoU.h"

namespace qm {
namespace {

// Output of an X utility, or "" when it failed.
QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(10000) || process.exitCode() != 0) return {};
  return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

// The frame of a shown window once the window manager has framed it and
// the toolkit has heard where: the frame's place is then the same at three
// looks in a row.
QRect Framed(const QWidget& window) {
  QRect frame;
  for (int same = 0, tries = 0; same < 3 && tries < 200; ++tries) {
    QTest::qWait(20);
    const QRect now = window.frameGeometry();
    same = now != window.geometry() && now == frame ? same + 1 : 0;
    frame = now;
  }
  return frame;
}

class UnderWindowManager : public MainWindow {
 protected:
  void SetUp() override {
    MainWindow::SetUp();
    form.emplace();
    form->CreateForms();
    form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&*form));
  }
  void TearDown() override {
    form.reset();
    MainWindow::TearDown();
  }
  std::optional<TForm1> form;
};

TEST_F(UnderWindowManager, TheCaptionIsTheProgramsVersionAlone) {
  const QString name = RunTool("xprop", {"-id", QString::number(form->winId()), "_NET_WM_NAME"});
  EXPECT_EQ(name.toStdString(), "_NET_WM_NAME(UTF8_STRING) = \"Quillmark 1.2\"");
  // The desktop names the program by its class.
  const QString klass = RunTool("xprop", {"-id", QString::number(form->winId()), "WM_CLASS"});
  EXPECT_TRUE(klass.contains("\"Quillmark\"")) << klass.toStdString();
}

// Visible pop-up windows: the file name completion list is one.
int VisiblePopups() {
  int n = 0;
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && w->windowType() == Qt::Popup) ++n;
  return n;
}

TEST_F(UnderWindowManager, TheFileNameCompletionListClosesWithTheOpenDialog) {
  WriteFile("alpha.txt", "scn Alpha");
  WriteFile("alpine.txt", "scn Alpine");
  form->JvOpenDialog1->setDirectory(work.path());
  int shownWhileTyping = -1;
  // The keys go to the dialog as the window manager focuses it: part of a
  // name, so that the completion list opens, then Enter.
  QTimer::singleShot(800, [&] {
    RunTool("xdotool", {"type", "--delay", "40", "alpha.txt"});
    QTest::qWait(500);
    shownWhileTyping = VisiblePopups();
    if (const char* shot = std::getenv("QM_WM_SCREENSHOT")) QGuiApplication::primaryScreen()->grabWindow(0).save(shot);
    RunTool("xdotool", {"key", "Return"});
  });
  // Should the keys go astray, every dialog is closed rather than waited for.
  QTimer guard;
  QObject::connect(&guard, &QTimer::timeout, [] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) dialog->reject();
  });
  guard.start(8000);
  form->OpenScriptExecute();
  QTest::qWait(300);
  EXPECT_EQ(shownWhileTyping, 1) << "the completion list was open when Enter was pressed";
  EXPECT_EQ(form->PlusMemoU1.Text(), u"scn Alpha");
  EXPECT_EQ(VisiblePopups(), 0);
  EXPECT_TRUE(errors.empty());
}

// Each close writes where the frame is, and the next start puts the frame
// there, not the client area under it.
TEST_F(UnderWindowManager, StartCloseStartKeepsTheWindowExactlyWhereItWas) {
  form.reset();
  for (int start = 0; start < 3; ++start) {
    TForm1 again;
    again.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&again));
    const QRect frame = Framed(again);
    EXPECT_EQ(frame.topLeft(), QPoint(150, 100)) << "start " << start;
    EXPECT_EQ(again.size(), QSize(800, 600)) << "start " << start;
    ASSERT_TRUE(again.close());
  }
}

}  // namespace
}  // namespace qm
