// Tests of the Qt layer on real widgets offscreen: typing, clicks, undo, scrolling, painting, caret, clipboard and surface.
#include "qt/PlusMemoWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QImage>
#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "HighlightUtil.h"
#include "TestUtil.h"
#include "editor/control/PlusMemoU.h"
#include "qt/QtClipboard.h"
#include "qt/QtSurface.h"

namespace qm {
namespace {

class PlusMemoWidget : public ::testing::Test {
 protected:
  void SetUp() override {
    // A steady caret: what a grab shows must not depend on when it is taken.
    QApplication::setCursorFlashTime(0);
    memo.Clipboard = &clipboard;
  }

  // Shows the widget, makes its window active and gives it the focus.
  void ShowFocused(int width = 320, int height = 200) {
    widget.resize(width, height);
    widget.show();
    widget.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&widget));
    widget.setFocus();
    ASSERT_TRUE(widget.hasFocus());
  }

  void Load(std::u16string_view text) { test::LoadText(memo, text); }

  // The viewport point inside the character at pos (its left half).
  QPoint PointAt(int32_t pos) {
    TPlusNavigatorU nav(&memo);
    nav.SetPos(pos);
    TLayoutEngine& layout = widget.Layout();
    const int x = layout.PosX(nav) + 1;
    const int y = layout.PosY(nav) - layout.Ascent() + layout.LineHeight() / 2;
    return QPoint(x, y);
  }

  QImage Grab() { return widget.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

  // The colour in the middle of the caret's rectangle.
  QColor AtCaret(const QImage& image) {
    const TRect caret = widget.Painter().CaretRect();
    return image.pixelColor(caret.Left, (caret.Top + caret.Bottom) / 2);
  }

  TPlusMemoU memo;
  TQtClipboard clipboard;
  TPlusMemoWidget widget{memo};
};

TEST_F(PlusMemoWidget, TypingEditsTheTextAndMovesTheCaret) {
  ShowFocused();
  QTest::keyClicks(&widget, "abc def");
  EXPECT_EQ(memo.Text(), u"abc def");
  EXPECT_EQ(memo.SelStart(), 7);
  QTest::keyClick(&widget, Qt::Key_Left);
  QTest::keyClick(&widget, Qt::Key_Left, Qt::ShiftModifier);
  EXPECT_EQ(memo.SelStart(), 5);
  EXPECT_EQ(memo.SelLength(), 1);
  QTest::keyClick(&widget, Qt::Key_X);
  EXPECT_EQ(memo.Text(), u"abc dxf");
  QTest::keyClick(&widget, Qt::Key_Return);
  QTest::keyClick(&widget, Qt::Key_Tab);
  EXPECT_EQ(memo.Text(), u"abc dx\r\n\tf");
  EXPECT_EQ(memo.SelStart(), 9);
  EXPECT_TRUE(widget.hasFocus());  // Tab went into the text, not to another control
  QTest::keyClick(&widget, Qt::Key_Backspace);
  QTest::keyClick(&widget, Qt::Key_Backspace);
  EXPECT_EQ(memo.Text(), u"abc dxf");
  QTest::keyClick(&widget, Qt::Key_Home, Qt::ControlModifier);
  QTest::keyClick(&widget, Qt::Key_Delete);
  EXPECT_EQ(memo.Text(), u"bc dxf");
  EXPECT_EQ(memo.SelStart(), 0);
}

TEST_F(PlusMemoWidget, CtrlZUndoesAndCtrlShiftZRedoes) {
  ShowFocused();
  QTest::keyClicks(&widget, "abc");
  QTest::keyClick(&widget, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(memo.Text(), u"");
  QTest::keyClick(&widget, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(memo.Text(), u"abc");
}

TEST_F(PlusMemoWidget, CtrlCAndCtrlVGoThroughTheQtClipboard) {
  ShowFocused();
  QTest::keyClicks(&widget, "word");
  QTest::keyClick(&widget, Qt::Key_Home, Qt::ShiftModifier);
  QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QString("word"));
  QTest::keyClick(&widget, Qt::Key_End);
  QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(memo.Text(), u"wordword");
}

TEST_F(PlusMemoWidget, AColumnBlockGoesThroughTheQtClipboardAndPastesAsColumns) {
  ShowFocused();
  memo.Options.Include(pmoBlockSelection);
  Load(u"abcd\r\nefgh\r\nij");
  // Columns 1 to 3 of the first two lines.
  memo.SetSelStart(1);
  memo.SetSelLength(memo.ParagraphStart(1) + 3 - 1);
  memo.BlockMode = true;
  memo.BlockStartCol = 1;
  memo.BlockStopCol = 3;
  QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(QApplication::clipboard()->text().toStdU16String(), u"bc\r\nfg\r\n");
  ASSERT_TRUE(clipboard.Format(kColumnBlockFormat).has_value());

  // Pasted at column 1 of the last line: the lines go in as columns, the
  // missing line is added and padded to the column.
  memo.SetSelStart(memo.ParagraphStart(2) + 1);
  QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(memo.Text(), u"abcd\r\nefgh\r\nibcj\r\n fg");
  // Plain text copied elsewhere pastes as running text.
  QApplication::clipboard()->setText("x\ny");
  memo.SetSelStart(0);
  QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(memo.Text().substr(0, 4),
            u"x\ny"
            u"a");
}

TEST_F(PlusMemoWidget, AClickPutsTheCaretAtTheCharacterAndShiftClickExtends) {
  memo.WordWrap = false;
  ShowFocused();
  widget.SetWordWrap(false);
  Load(u"hello world\r\nsecond line");
  const int32_t target = memo.ParagraphStart(1) + 3;
  QTest::mouseClick(widget.viewport(), Qt::LeftButton, Qt::NoModifier, PointAt(target));
  EXPECT_EQ(memo.SelStart(), target);
  EXPECT_EQ(memo.SelLength(), 0);
  QTest::mouseClick(widget.viewport(), Qt::LeftButton, Qt::ShiftModifier, PointAt(6));
  EXPECT_EQ(memo.SelStart(), 6);
  EXPECT_EQ(memo.SelLength(), target - 6);
}

TEST_F(PlusMemoWidget, MovingWithTheButtonHeldExtendsTheSelection) {
  ShowFocused();
  Load(u"one two three");
  QTest::mousePress(widget.viewport(), Qt::LeftButton, Qt::NoModifier, PointAt(4));
  QMouseEvent move(QEvent::MouseMove, PointAt(9), widget.viewport()->mapToGlobal(PointAt(9)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(widget.viewport(), &move);
  QTest::mouseRelease(widget.viewport(), Qt::LeftButton, Qt::NoModifier, PointAt(9));
  EXPECT_EQ(memo.SelStart(), 9);
  EXPECT_EQ(memo.SelLength(), -5);
  EXPECT_EQ(memo.SelText(), u"two t");
}

TEST_F(PlusMemoWidget, TheVerticalBarAppearsForALongTextAndTheCaretStaysInView) {
  ShowFocused(300, 200);
  Load(u"short");
  EXPECT_FALSE(widget.verticalScrollBar()->isVisible());
  std::u16string text;
  for (int i = 0; i < 200; ++i) text += u"line " + test::U(std::to_string(i)) + u"\r\n";
  Load(text);
  EXPECT_TRUE(widget.verticalScrollBar()->isVisible());
  EXPECT_GT(widget.verticalScrollBar()->maximum(), 0);
  QTest::keyClick(&widget, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(memo.SelStart(), memo.TextLength());
  EXPECT_GT(widget.Layout().VScroll, 0);
  EXPECT_EQ(widget.Layout().VScroll, widget.verticalScrollBar()->value());
  const TRect caret = widget.Painter().CaretRect();
  EXPECT_GE(caret.Top, 0);
  EXPECT_LE(caret.Bottom, widget.viewport()->height());
  QTest::keyClick(&widget, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(widget.Layout().VScroll, 0);
}

TEST_F(PlusMemoWidget, ALongLineScrollsHorizontallyWithoutWrap) {
  ShowFocused(300, 200);
  widget.SetWordWrap(false);
  Load(std::u16string(300, u'x'));
  EXPECT_TRUE(widget.horizontalScrollBar()->isVisible());
  QTest::keyClick(&widget, Qt::Key_End);
  const int hScroll = widget.Layout().HScroll;
  EXPECT_GT(hScroll, 0);
  // Steps of five average character widths.
  EXPECT_EQ(hScroll % (5 * widget.Layout().AverageCharWidth()), 0);
  const TRect caret = widget.Painter().CaretRect();
  EXPECT_GE(caret.Left, 0);
  EXPECT_LE(caret.Right, widget.viewport()->width());
  QTest::keyClick(&widget, Qt::Key_Home);
  EXPECT_EQ(widget.Layout().HScroll, 0);
}

TEST_F(PlusMemoWidget, TheWheelScrollsThreeLinesPerNotchWithoutMovingTheCaret) {
  ShowFocused(300, 200);
  std::u16string text;
  for (int i = 0; i < 100; ++i) text += u"line\r\n";
  Load(text);
  const QPoint at(20, 20);
  QWheelEvent wheel(at, widget.viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(widget.viewport(), &wheel);
  EXPECT_EQ(widget.Layout().VScroll, 3 * widget.Layout().LineHeight());
  EXPECT_EQ(memo.SelStart(), 0);
}

TEST_F(PlusMemoWidget, AnInputMethodCommitIsInserted) {
  ShowFocused();
  QInputMethodEvent event;
  event.setCommitString(QString::fromUtf8("日本"));
  QApplication::sendEvent(&widget, &event);
  EXPECT_EQ(memo.Text(), test::U("日本"));
  EXPECT_EQ(memo.SelStart(), 2);
}

TEST_F(PlusMemoWidget, PaintsTextAndACaretOnlyWithFocus) {
  ShowFocused(480, 260);
  Load(u"begin GameMode\r\n  set x to 10 ; a comment\r\nend");
  memo.SetSelStart(5);
  const QImage focused = Grab();
  QSet<QRgb> colours;
  int dark = 0;
  for (int y = 0; y < widget.Layout().LineHeight(); ++y)
    for (int x = 0; x < focused.width(); ++x) {
      colours.insert(focused.pixel(x, y));
      if (qGray(focused.pixel(x, y)) < 128) ++dark;
    }
  EXPECT_GT(colours.size(), 1);
  EXPECT_GT(dark, 20);

  const QColor text = widget.palette().color(QPalette::Text);
  const QColor base = widget.palette().color(QPalette::Base);
  EXPECT_EQ(AtCaret(focused), text);
  widget.BlinkCaret();
  EXPECT_EQ(AtCaret(Grab()), base);
  widget.BlinkCaret();
  EXPECT_EQ(AtCaret(Grab()), text);
  widget.clearFocus();
  EXPECT_EQ(AtCaret(Grab()), base);
}

TEST_F(PlusMemoWidget, PaintsAColouredScriptWithItsSelectionAndCaret) {
  auto chain = test::MainChain();
  test::ConfigureScriptEditor(memo, *chain);
  widget.Relayout();
  ShowFocused(520, 200);
  Load(
      u"scn ColourTest\r\nshort count\r\n\r\nbegin GameMode\r\n  if GetStage player == 10 ; started\r\n"
      u"    MessageBox \"Hello\"\r\n  endif\r\nend");
  const int32_t line4 = memo.ParagraphStart(4);
  memo.SetSelStart(line4 + 5);
  memo.SetSelLength(8);
  const QImage image = Grab();
  // Colours other than the text, the background and the selection: the highlighting.
  const QPalette palette = widget.palette();
  const QSet<QRgb> plain{palette.color(QPalette::Text).rgb(), palette.color(QPalette::Base).rgb(),
                         palette.color(QPalette::Highlight).rgb(), palette.color(QPalette::HighlightedText).rgb()};
  QSet<QRgb> others;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (!plain.contains(image.pixel(x, y))) others.insert(image.pixel(x, y));
  EXPECT_GT(others.size(), 3);
  // The selection is painted in the highlight colour, and the caret is there.
  TPlusNavigatorU nav(&memo);
  nav.SetPos(line4 + 6);
  const int y = widget.Layout().PosY(nav) - widget.Layout().Ascent() + 1;
  EXPECT_EQ(image.pixelColor(widget.Layout().PosX(nav) + 2, y), palette.color(QPalette::Highlight));
  EXPECT_EQ(AtCaret(image), palette.color(QPalette::Text));
  // QM_SCREENSHOT names a PNG file to write the whole widget into.
  if (const char* path = std::getenv("QM_SCREENSHOT"); path != nullptr && *path != 0) {
    EXPECT_TRUE(widget.grab().save(QString::fromLocal8Bit(path)));
  }
}

TEST_F(PlusMemoWidget, ReadOnlyKeepsTheTextButMovesTheCaret) {
  ShowFocused();
  Load(u"abc");
  memo.ReadOnly = true;
  QTest::keyClicks(&widget, "xy");
  QTest::keyClick(&widget, Qt::Key_Right);
  QTest::keyClick(&widget, Qt::Key_Delete);
  EXPECT_EQ(memo.Text(), u"abc");
  EXPECT_EQ(memo.SelStart(), 1);
}

TEST(QtClipboard, TextAndOwnFormatsRoundTrip) {
  TQtClipboard clipboard;
  clipboard.SetText(u"some тext");
  EXPECT_EQ(clipboard.Text(), u"some тext");
  EXPECT_FALSE(clipboard.Format(kColumnBlockFormat).has_value());
  clipboard.SetFormat(kColumnBlockFormat, {2, 7});
  EXPECT_EQ(clipboard.Format(kColumnBlockFormat), (std::vector<unsigned char>{2, 7}));
  EXPECT_EQ(clipboard.Text(), u"some тext");  // a format goes beside the text
  EXPECT_EQ(TQtClipboard::MimeType(kColumnBlockFormat), "application/x-qm-Borland-IDE-Block-Type");
  clipboard.SetText(u"plain");
  EXPECT_FALSE(clipboard.Format(kColumnBlockFormat).has_value());
}

TEST(QtSurface, ColoursMapBgrNumbersAndSystemColoursToThePalette) {
  QPalette palette;
  palette.setColor(QPalette::Base, QColor(1, 2, 3));
  palette.setColor(QPalette::Text, QColor(4, 5, 6));
  palette.setColor(QPalette::Highlight, QColor(7, 8, 9));
  palette.setColor(QPalette::HighlightedText, QColor(10, 11, 12));
  palette.setColor(QPalette::Button, QColor(13, 14, 15));
  EXPECT_EQ(TQtSurface::ToQColor(0x00332211, palette), QColor(0x11, 0x22, 0x33));
  EXPECT_EQ(TQtSurface::ToQColor(SystemColor(5), palette), QColor(1, 2, 3));
  EXPECT_EQ(TQtSurface::ToQColor(SystemColor(8), palette), QColor(4, 5, 6));
  EXPECT_EQ(TQtSurface::ToQColor(SystemColor(13), palette), QColor(7, 8, 9));
  EXPECT_EQ(TQtSurface::ToQColor(SystemColor(14), palette), QColor(10, 11, 12));
  EXPECT_EQ(TQtSurface::ToQColor(SystemColor(15), palette), QColor(13, 14, 15));
  EXPECT_EQ(TQtSurface::ToQColor(SystemColor(2), palette), QColor(4, 5, 6));
}

TEST(QtSurface, FontsCarryFamilySizeAndStyleAndMeasureMonospaced) {
  const QFont font = TQtSurface::ToQFont(TFontSpec{u"Courier New", 12, 1 | 2 | 4 | 8});
  EXPECT_EQ(font.family(), QString("Courier New"));
  EXPECT_EQ(font.pointSize(), 12);
  EXPECT_TRUE(font.bold());
  EXPECT_TRUE(font.italic());
  EXPECT_TRUE(font.underline());
  EXPECT_TRUE(font.strikeOut());
  TQtSurface surface{QPalette()};
  const TFontSpec mono{u"Courier New", 10, 0};
  const int one = surface.TextWidth(mono, u"i");
  EXPECT_GT(one, 0);
  EXPECT_EQ(surface.TextWidth(mono, u"iiii"), surface.TextWidth(mono, u"WWWW"));
  EXPECT_EQ(surface.TextWidth(mono, u"iiii"), 4 * one);
  EXPECT_GT(surface.LineHeight(mono), surface.Ascent(mono));
  EXPECT_GT(surface.AverageCharWidth(mono), 0);
}

namespace {

std::u16string ManyLines(int n) {
  std::u16string text;
  for (int i = 0; i < n; ++i) text += u"if x == " + test::U(std::to_string(i)) + u" ; a comment\r\n";
  return text;
}

bool FormattingDone(const TPlusMemoU& memo) {
  const TParagraphsList& list = memo.Paragraphs();
  return list.FormatLast == -1 && list.FormattedCount == list.Count;
}

// Runs the event loop until done() or the time is up.
template <typename Done>
bool ProcessEventsUntil(Done done, int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < milliseconds) QApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

}  // namespace

TEST_F(PlusMemoWidget, TheBackgroundThreadFormatsALongTextThroughTheEventLoop) {
  ShowFocused();
  ASSERT_EQ(memo.UpdateMode(), umBackground);
  Load(ManyLines(50000));
  // Loading returns before the text is laid out: the steps come through the event loop.
  EXPECT_FALSE(FormattingDone(memo));
  ASSERT_NE(memo.Formatter()->Thread(), nullptr);
  ASSERT_TRUE(ProcessEventsUntil([&] { return FormattingDone(memo); }, 60000));
  const TParagraphsList& list = memo.Paragraphs();
  for (int p = 0; p < list.Count; p += 997) EXPECT_TRUE(list.Flags(p) & pfLaidOut) << p;
  // The worker parks once the work is done; the scroll range covers every line.
  EXPECT_TRUE(memo.Formatter()->Thread()->WaitUntilIdle(std::chrono::seconds(5)));
  EXPECT_TRUE(memo.Formatter()->Thread()->Suspended());
  EXPECT_GE(widget.verticalScrollBar()->maximum(),
            memo.LineCount() * widget.Layout().LineHeight() - widget.viewport()->height());
}

TEST_F(PlusMemoWidget, DestroyingTheWidgetStopsTheBackgroundThread) {
  TPlusMemoU other;
  auto host = std::make_unique<TPlusMemoWidget>(other);
  host->resize(300, 200);
  host->show();
  test::LoadText(other, ManyLines(50000));
  ASSERT_NE(other.Formatter(), nullptr);
  ASSERT_NE(other.Formatter()->Thread(), nullptr);
  // Let a few steps run, then go while the work is under way.
  QApplication::processEvents(QEventLoop::AllEvents, 30);
  host.reset();
  EXPECT_EQ(other.Formatter(), nullptr);
  EXPECT_EQ(other.Layout(), nullptr);
  // Steps queued before the end find nothing to run; the text is intact.
  QApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_EQ(other.ParagraphCount(), 50001);
  other.SetSelStart(0);
  other.SetSelText(u"x");
  EXPECT_EQ(other.ParagraphText(0).substr(0, 5), u"xif x");
}

}  // namespace
}  // namespace qm
