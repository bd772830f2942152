// TPlusMemoWidget: the Qt widget that hosts a TPlusMemoU: painting, scroll bars, caret, keyboard, input method, mouse and wheel.
#pragma once

#include <QAbstractScrollArea>
#include <QMenu>
#include <QTimer>

#include <vector>

#include "editor/control/Layout.h"
#include "editor/control/Painter.h"
#include "editor/control/PlusMemoU.h"
#include "platform/WindowHost.h"
#include "qt/QtDispatcher.h"
#include "qt/QtSurface.h"

namespace qm {

// The window of a TPlusMemoU: it attaches itself as the memo's host, which
// gives the memo its layout engine, painter and background formatting.
class TPlusMemoWidget : public QAbstractScrollArea, public TWindowHost {
  Q_OBJECT

 public:
  // The memo must outlive the widget; the widget detaches itself when destroyed.
  explicit TPlusMemoWidget(TPlusMemoU& memo, QWidget* parent = nullptr);
  ~TPlusMemoWidget() override;
  TPlusMemoWidget(const TPlusMemoWidget&) = delete;
  TPlusMemoWidget& operator=(const TPlusMemoWidget&) = delete;

  TPlusMemoU& Memo() { return memo_; }
  TLayoutEngine& Layout() { return *memo_.Layout(); }
  TPainter& Painter() { return *memo_.Painter(); }

  // TWindowHost
  TTextMeasurer& Measurer() override { return measurer_; }
  TGuiDispatcher* Dispatcher() override { return &dispatcher_; }
  void Invalidate() override;
  void InvalidateRect(const TRect& rect) override;
  void ScrollBarsChanged() override;
  int WheelScrollLines() override;
  void ShowPopupMenu(int x, int y, std::vector<TpmMenuItem> items) override;

  // The built-in context menu last shown (nullptr before the first); it is
  // kept and filled anew at each showing.
  QMenu* PopupMenu() const { return popup_; }

  // Font of the text (also the alternate font); lays everything out anew.
  void SetEditorFont(const TFontSpec& font);
  // Word wrap of the memo and of the layout; lays everything out anew.
  void SetWordWrap(bool on);
  // Lays out again after a change of the layout's settings.
  void Relayout();

  // Whether the caret is in the visible phase of its blinking (it is drawn
  // only when the widget also has the focus).
  bool CaretPhase() const { return caretPhase_; }
  // One blink: toggles the caret's phase (the blink timer calls this).
  void BlinkCaret();

 signals:
  // The view scrolled (the memo's OnHScroll / OnVScroll, for Qt listeners).
  void Scrolled();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool viewportEvent(QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  // The character that follows a key the control did not take on key-down; true when taken.
  bool SendCharacter(QKeyEvent* event, TpmKey mapped, TShiftState shift);
  void ShowCursor(const TpmCursorInfo& cursor);
  // Tab types into the text instead of moving the focus.
  bool TakesTab() const;
  // After a key or a click: caret in view, blinking afresh, repaint.
  void Refresh();
  // Shows the caret and starts its blinking afresh, so it is seen right after a move.
  void RestartBlink();

  TPlusMemoU& memo_;
  TQtSurface measurer_;
  TQtDispatcher dispatcher_;
  QTimer blink_;
  bool caretPhase_ = true;
  QMenu* popup_ = nullptr;
  bool updatingBars_ = false;  // the scroll bars are being set from the memo
};

}  // namespace qm
