// The main window and its file dialog under a real window manager on an X display: the caption the
// window manager shows, and the file name completion list closing with the dialog.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QFileDialog>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <optional>

#include "AppFixture.h"
#include "ShownDialogs.h"
#include "app/AboutBox.h"
#include "app/ExitConfirmation.h"
#include "app/MainWindow.h"
#include "app/NewScriptDialog.h"
#include "app/SettingsDialog.h"
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

// The frame of a shown window as the X server has it: the client area's
// place on the screen with the extents the window manager put around it;
// none while it has not framed the window.
std::optional<QRect> FrameOnScreen(const QWidget& window) {
  const QString id = QString::number(window.winId());
  // "_NET_FRAME_EXTENTS(CARDINAL) = 1, 1, 20, 5": left, right, top, bottom.
  const QRegularExpressionMatch extents = QRegularExpression("= (\\d+), (\\d+), (\\d+), (\\d+)$")
                                              .match(RunTool("xprop", {"-id", id, "_NET_FRAME_EXTENTS"}));
  const QString info = RunTool("xwininfo", {"-id", id});
  const auto field = [&info](const char* name) {
    const QRegularExpressionMatch m = QRegularExpression(QString(name) + ":\\s+(-?\\d+)").match(info);
    return m.hasMatch() ? std::optional<int>(m.captured(1).toInt()) : std::nullopt;
  };
  const auto x = field("Absolute upper-left X");
  const auto y = field("Absolute upper-left Y");
  const auto width = field("Width");
  const auto height = field("Height");
  if (!extents.hasMatch() || !x || !y || !width || !height) return std::nullopt;
  const int left = extents.captured(1).toInt();
  const int right = extents.captured(2).toInt();
  const int top = extents.captured(3).toInt();
  const int bottom = extents.captured(4).toInt();
  return QRect(*x - left, *y - top, *width + left + right, *height + top + bottom);
}

// The frame once the window manager has framed the window and put it in
// place: the same at three looks in a row.
QRect Framed(const QWidget& window) {
  std::optional<QRect> frame;
  for (int same = 0, tries = 0; same < 3 && tries < 100; ++tries) {
    QTest::qWait(20);
    const std::optional<QRect> now = FrameOnScreen(window);
    same = now && now == frame ? same + 1 : 0;
    frame = now;
  }
  return frame.value_or(QRect());
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

// The window manager frames a dialog only once it is shown, and again at
// every later showing: its frame is centred all the same, every time.
TEST_F(UnderWindowManager, TheShellDialogsOpenCentredOnTheScreenEveryTime) {
  const QPoint centre = form->screen()->availableGeometry().center();
  const struct {
    const char* Name;
    void (TForm1::*Command)();
    QDialog* Dialog;
  } dialogs[] = {{"about", &TForm1::AboutExecute, form->Form6},
                 {"exit", &TForm1::ExitExecute, form->Form3},
                 {"settings", &TForm1::Wiev1Execute, form->Form7},
                 {"new script", &TForm1::NewScriptExecute, form->Form2}};
  for (const auto& d : dialogs) {
    const std::vector<QRect> frames = FramesAtEachShow(*form, d.Command, *d.Dialog, 3, Framed);
    ASSERT_EQ(frames.size(), 3u) << d.Name;
    for (const QRect& frame : frames)
      EXPECT_LE((frame.center() - centre).manhattanLength(), 1) << d.Name << ": " << testing::PrintToString(frame);
    EXPECT_EQ(frames[1], frames[0]) << d.Name;
    EXPECT_EQ(frames[2], frames[0]) << d.Name;
  }
}

}  // namespace
}  // namespace qm
