// TPlusMemoWidget: routes Qt paint, scroll, focus, keyboard, input-method, mouse and wheel events to the editor engine.
#include "qt/PlusMemoWidget.h"

#include <QApplication>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cstdint>

namespace qm {

namespace {

TpmKey MapKey(int key) {
  switch (key) {
    case Qt::Key_Left: return TpmKey::kLeft;
    case Qt::Key_Right: return TpmKey::kRight;
    case Qt::Key_Up: return TpmKey::kUp;
    case Qt::Key_Down: return TpmKey::kDown;
    case Qt::Key_Home: return TpmKey::kHome;
    case Qt::Key_End: return TpmKey::kEnd;
    case Qt::Key_PageUp: return TpmKey::kPageUp;
    case Qt::Key_PageDown: return TpmKey::kPageDown;
    case Qt::Key_Backspace: return TpmKey::kBackspace;
    case Qt::Key_Delete: return TpmKey::kDelete;
    case Qt::Key_Insert: return TpmKey::kInsert;
    case Qt::Key_Return:
    case Qt::Key_Enter: return TpmKey::kReturn;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return TpmKey::kTab;
    case Qt::Key_Escape: return TpmKey::kEscape;
    default: return TpmKey::kNone;
  }
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

TPlusMemoWidget::TPlusMemoWidget(TPlusMemoU& memo, QWidget* parent)
    : QAbstractScrollArea(parent), memo_(memo), measurer_(palette()), layout_(memo, measurer_), painter_(memo, layout_) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  const Qt::ScrollBarPolicy policy =
      memo_.Options.Contains(pmoAutoScrollBars) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
  setVerticalScrollBarPolicy(policy);
  setHorizontalScrollBarPolicy(policy);

  // fontconfig maps Courier New to the metric-compatible Liberation Mono.
  layout_.Settings.Font = TFontSpec{u"Courier New", 10, 0};
  layout_.Settings.AltFont = layout_.Settings.Font;
  layout_.Settings.ClientWidth = viewport()->width();

  connect(&blink_, &QTimer::timeout, this, &TPlusMemoWidget::BlinkCaret);

  chainedOnChange_ = memo_.OnChange;
  chainedOnSelMove_ = memo_.OnSelMove;
  memo_.OnChange = [this](TComponent* sender) {
    if (chainedOnChange_) chainedOnChange_(sender);
    Refresh();
  };
  memo_.OnSelMove = [this](TComponent* sender) {
    if (chainedOnSelMove_) chainedOnSelMove_(sender);
    Refresh();
  };
  layout_.InvalidateAll();
  UpdateScrollBars();
}

TPlusMemoWidget::~TPlusMemoWidget() {
  memo_.OnChange = chainedOnChange_;
  memo_.OnSelMove = chainedOnSelMove_;
}

void TPlusMemoWidget::SetEditorFont(const TFontSpec& font) {
  layout_.Settings.Font = font;
  layout_.Settings.AltFont = font;
  Relayout();
}

void TPlusMemoWidget::SetWordWrap(bool on) {
  memo_.WordWrap = on;
  layout_.Settings.WordWrap = on;
  Relayout();
}

void TPlusMemoWidget::Relayout() {
  layout_.InvalidateAll();
  Refresh();
}

void TPlusMemoWidget::Refresh() {
  UpdateScrollBars();
  ScrollInView();
  RestartBlink();
  viewport()->update();
}

void TPlusMemoWidget::UpdateScrollBars() {
  // Scroll ranges need every line's height and width.
  layout_.LayOutAll();
  const int height = std::max(layout_.LineHeight(), 1);
  const int viewHeight = viewport()->height();
  const int viewWidth = viewport()->width();
  // Two extra pixels below the last line, as ScrollInView leaves them.
  const int64_t total = int64_t{memo_.LineCount()} * height + 2;
  QScrollBar* v = verticalScrollBar();
  v->setRange(0, ClampToInt(std::max<int64_t>(0, total - viewHeight)));
  v->setSingleStep(height);
  v->setPageStep(std::max(height, viewHeight - height));

  QScrollBar* h = horizontalScrollBar();
  if (layout_.HorizontalScrolling()) {
    const int64_t width = int64_t{layout_.Settings.LeftMargin} + layout_.WidestLine() + layout_.Settings.RightMargin + 2;
    h->setRange(0, ClampToInt(std::max<int64_t>(0, width - viewWidth)));
    h->setSingleStep(std::max(layout_.AverageCharWidth(), 1));
    h->setPageStep(std::max(viewWidth, 1));
  } else {
    h->setRange(0, 0);
  }
  // QAbstractScrollArea shows or hides its bars on a queued signal; laying
  // the children out now lets the caret be scrolled into the final view.
  // Setting the margins again is the public way to ask for that layout.
  if (!layingOut_) {
    layingOut_ = true;
    setViewportMargins(viewportMargins());
    layingOut_ = false;
  }
}

void TPlusMemoWidget::ScrollInView() {
  TPlusNavigatorU& caret = memo_.CaretNav();
  const int height = layout_.LineHeight();
  const int viewHeight = viewport()->height();
  const int viewWidth = viewport()->width();

  // PosY gives the client baseline; the content top of the line adds the scroll back.
  const int top = layout_.PosY(caret) - layout_.Ascent() + layout_.VScroll;
  int vScroll = layout_.VScroll;
  if (top < vScroll) {
    vScroll = top;
  } else if (top + height > vScroll + viewHeight) {
    const bool lastLine = caret.LineNumber() >= memo_.LineCount() - 1;
    vScroll = top + height - viewHeight + (lastLine ? 2 : 0);
  }
  verticalScrollBar()->setValue(vScroll);

  if (!layout_.HorizontalScrolling()) return;
  const int average = std::max(layout_.AverageCharWidth(), 1);
  const int step = 5 * average;
  const int x = layout_.PosX(caret) + memo_.VirtualColumn * average + layout_.HScroll;
  const int left = layout_.Settings.LeftMargin;
  int hScroll = layout_.HScroll;
  while (hScroll > 0 && x - hScroll < left) hScroll = std::max(0, hScroll - step);
  // Keep room for the caret's own width at the right edge.
  while (x - hScroll > viewWidth - 2) hScroll += step;
  horizontalScrollBar()->setValue(hScroll);
}

void TPlusMemoWidget::scrollContentsBy(int, int) {
  // The engine paints from the scroll offsets; the whole view is repainted
  // instead of shifting pixels.
  layout_.VScroll = verticalScrollBar()->value();
  layout_.HScroll = horizontalScrollBar()->value();
  viewport()->update();
}

void TPlusMemoWidget::BlinkCaret() {
  caretPhase_ = !caretPhase_;
  viewport()->update();
}

void TPlusMemoWidget::RestartBlink() {
  caretPhase_ = true;
  const int flash = QApplication::cursorFlashTime();
  // A flash time of 0 or less means a steady caret.
  if (flash > 0 && hasFocus())
    blink_.start(flash / 2);
  else
    blink_.stop();
}

void TPlusMemoWidget::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  measurer_.SetPalette(palette());
  measurer_.SetPainter(&painter);
  // The engine draws the caret whenever it is told the control is focused;
  // in the hidden phase of the blink it is told not to draw one at all.
  struct TRestore {
    TPaintSettings& Settings;
    bool DisplayOnly;
    TQtSurface& Surface;
    ~TRestore() {
      Settings.DisplayOnly = DisplayOnly;
      Surface.SetPainter(nullptr);
    }
  } restore{painter_.Settings, painter_.Settings.DisplayOnly, measurer_};
  painter_.Settings.DisplayOnly = restore.DisplayOnly || !caretPhase_;
  // The whole client area: the engine paints margins and selection up to its right and bottom.
  painter_.Paint(measurer_, TRect{0, 0, viewport()->width(), viewport()->height()}, hasFocus());
}

void TPlusMemoWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  const int width = viewport()->width();
  if (width != layout_.Settings.ClientWidth) {
    layout_.Settings.ClientWidth = width;
    layout_.InvalidateAll();
  }
  UpdateScrollBars();
}

void TPlusMemoWidget::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const TShiftState shift{(mods & Qt::ShiftModifier) != 0, (mods & Qt::ControlModifier) != 0,
                          (mods & Qt::AltModifier) != 0};
  const int key = event->key();
  const bool plainCtrl = shift.Ctrl && !shift.Alt;
  bool handled = false;
  if (plainCtrl && shift.Shift && key == Qt::Key_Z) {
    // As a character Ctrl+Shift+Z is code 26 like Ctrl+Z, so redo is decided here.
    if (!memo_.ReadOnly) memo_.Redo();
    handled = true;
  } else if (const TpmKey mapped = MapKey(key); mapped != TpmKey::kNone) {
    handled = memo_.KeyDown(mapped, shift);
    // Tab and Enter insert through the character path, as their characters would arrive.
    if (!handled && !shift.Ctrl && !shift.Alt) {
      if (mapped == TpmKey::kReturn) handled = memo_.KeyPress(13);
      if (mapped == TpmKey::kTab) handled = memo_.KeyPress(9);
    }
  } else if (plainCtrl && key >= Qt::Key_A && key <= Qt::Key_Z) {
    // Ctrl+letter as its control code: platforms differ in the text they attach.
    handled = memo_.KeyPress(static_cast<char16_t>(key - Qt::Key_A + 1));
  } else {
    const QString text = event->text();
    for (const QChar c : text)
      if (c.unicode() >= 32 && c.unicode() != 127) handled = memo_.KeyPress(c.unicode()) || handled;
  }
  if (!handled) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
  // A selection change that leaves the caret in place fires no event.
  Refresh();
}

void TPlusMemoWidget::inputMethodEvent(QInputMethodEvent* event) {
  const QString commit = event->commitString();
  if (!commit.isEmpty() && !memo_.ReadOnly) {
    memo_.SetSelText(commit.toStdU16String());
    Refresh();
  }
  event->accept();
}

QVariant TPlusMemoWidget::inputMethodQuery(Qt::InputMethodQuery query) const {
  switch (query) {
    case Qt::ImEnabled:
      return !memo_.ReadOnly;
    case Qt::ImCursorRectangle: {
      const TRect r = const_cast<TPainter&>(painter_).CaretRect();
      // Caret rectangles are viewport coordinates; input methods want the widget's.
      return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top).translated(viewport()->pos());
    }
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void TPlusMemoWidget::PlaceAtPoint(const QPoint& point, bool extend) {
  TPlusNavigatorU nav(&memo_);
  layout_.SetPoint(nav, point.x(), point.y());
  const int32_t target = nav.Pos();
  memo_.SetSelStart(target);
  if (extend)
    memo_.SetSelLength(mouseAnchor_ - memo_.SelStart());
  else
    mouseAnchor_ = memo_.SelStart();
}

void TPlusMemoWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const bool extend = (event->modifiers() & Qt::ShiftModifier) != 0;
  if (extend) mouseAnchor_ = memo_.SelStart() + memo_.SelLength();
  PlaceAtPoint(event->position().toPoint(), extend);
  Refresh();
  event->accept();
}

void TPlusMemoWidget::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) == 0) {
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  // A point outside the view puts the caret on a line out of view, and
  // scrolling it into view is what scrolls while selecting.
  PlaceAtPoint(event->position().toPoint(), true);
  Refresh();
  event->accept();
}

void TPlusMemoWidget::mouseReleaseEvent(QMouseEvent* event) {
  // The release ends a selection made by press and move; nothing is left to do.
  if (event->button() == Qt::LeftButton)
    event->accept();
  else
    QAbstractScrollArea::mouseReleaseEvent(event);
}

void TPlusMemoWidget::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  // High-resolution wheels send parts of a notch; they add up to whole notches.
  wheelRemainder_ += delta;
  const int notches = wheelRemainder_ / 120;
  wheelRemainder_ -= notches * 120;
  QScrollBar* v = verticalScrollBar();
  v->setValue(v->value() - notches * WheelLines * layout_.LineHeight());
  event->accept();
}

void TPlusMemoWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  RestartBlink();
  viewport()->update();
}

void TPlusMemoWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  blink_.stop();
  viewport()->update();
}

bool TPlusMemoWidget::focusNextPrevChild(bool) {
  // Tab is a character of the text, not a move to the next control.
  return false;
}

}  // namespace qm
