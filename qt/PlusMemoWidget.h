// TPlusMemoWidget: the Qt widget that hosts a TPlusMemoU: painting, scroll bars, caret, keyboard, input method, mouse and wheel.
#pragma once

#include <QAbstractScrollArea>
#include <QTimer>

#include "editor/Layout.h"
#include "editor/Painter.h"
#include "editor/PlusMemoU.h"
#include "qt/QtSurface.h"

namespace qm {

class TPlusMemoWidget : public QAbstractScrollArea {
  Q_OBJECT

 public:
  // The memo must outlive the widget. The widget chains itself into the
  // memo's OnChange and OnSelMove (handlers set before it keep being called)
  // and restores them when it is destroyed.
  explicit TPlusMemoWidget(TPlusMemoU& memo, QWidget* parent = nullptr);
  ~TPlusMemoWidget() override;
  TPlusMemoWidget(const TPlusMemoWidget&) = delete;
  TPlusMemoWidget& operator=(const TPlusMemoWidget&) = delete;

  TPlusMemoU& Memo() { return memo_; }
  TLayoutEngine& Layout() { return layout_; }
  TPainter& Painter() { return painter_; }

  // Font of the text (also the alternate font); lays everything out anew.
  void SetEditorFont(const TFontSpec& font);
  // Word wrap of the memo and of the layout; lays everything out anew.
  void SetWordWrap(bool on);
  // Lays out again after a change of the layout's settings.
  void Relayout();

  // Scrolls so that the caret is visible: vertically by its line, and
  // horizontally in steps of 5 average character widths when lines are not
  // wrapped to the width.
  void ScrollInView();
  // Whether the caret is in the visible phase of its blinking (it is drawn
  // only when the widget also has the focus).
  bool CaretPhase() const { return caretPhase_; }
  // One blink: toggles the caret's phase (the blink timer calls this).
  void BlinkCaret();

  // Lines scrolled per wheel notch.
  int WheelLines = 3;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  // After every change of the text or the caret: scroll bars, caret in view, repaint.
  void Refresh();
  void UpdateScrollBars();
  // Shows the caret and starts its blinking afresh, so it is seen right after a move.
  void RestartBlink();
  // Caret to the client point; with extend the selection runs from anchor.
  void PlaceAtPoint(const QPoint& point, bool extend);

  TPlusMemoU& memo_;
  TQtSurface measurer_;
  TLayoutEngine layout_;
  TPainter painter_;
  QTimer blink_;
  bool caretPhase_ = true;
  int32_t mouseAnchor_ = 0;
  int wheelRemainder_ = 0;
  bool layingOut_ = false;  // UpdateScrollBars is laying the children out
  TNotifyEvent chainedOnChange_;
  TNotifyEvent chainedOnSelMove_;
};

}  // namespace qm
