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

#include "qt/QtClipboard.h"

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

// The listeners' view of a Qt event: its kind, and for keys the key and
// modifiers, for the mouse the button and position, for a resize the size.
TWindowMessage MessageOf(QEvent* event) {
  TWindowMessage m;
  switch (event->type()) {
    case QEvent::Paint: m.Msg = TWindowMessage::wmPaint; break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
      const auto* key = static_cast<QKeyEvent*>(event);
      m.Msg = TWindowMessage::wmKey;
      m.WParam = key->key();
      m.LParam = static_cast<int64_t>(key->modifiers().toInt());
      break;
    }
    case QEvent::InputMethod: m.Msg = TWindowMessage::wmChar; break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove: {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      m.Msg = TWindowMessage::wmMouse;
      m.WParam = static_cast<int64_t>(mouse->button());
      const QPoint p = mouse->position().toPoint();
      m.LParam = (int64_t{p.y()} << 32) | static_cast<uint32_t>(p.x());
      break;
    }
    case QEvent::Wheel: m.Msg = TWindowMessage::wmWheel; break;
    case QEvent::Resize: {
      const auto* resize = static_cast<QResizeEvent*>(event);
      m.Msg = TWindowMessage::wmResize;
      m.LParam = (int64_t{resize->size().height()} << 32) | static_cast<uint32_t>(resize->size().width());
      break;
    }
    case QEvent::FocusIn:
    case QEvent::FocusOut: m.Msg = TWindowMessage::wmFocus; break;
    default: break;
  }
  m.WParam = m.Msg == TWindowMessage::wmOther ? static_cast<int64_t>(event->type()) : m.WParam;
  return m;
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

TShiftState ShiftOf(Qt::KeyboardModifiers mods) {
  return TShiftState{(mods & Qt::ShiftModifier) != 0, (mods & Qt::ControlModifier) != 0,
                     (mods & Qt::AltModifier) != 0};
}

bool MapButton(Qt::MouseButton button, TMouseButton& mapped) {
  switch (button) {
    case Qt::LeftButton: mapped = mbLeft; return true;
    case Qt::RightButton: mapped = mbRight; return true;
    case Qt::MiddleButton: mapped = mbMiddle; return true;
    default: return false;
  }
}

}  // namespace

TPlusMemoWidget::TPlusMemoWidget(TPlusMemoU& memo, QWidget* parent)
    : QAbstractScrollArea(parent), memo_(memo), measurer_(palette()) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_InputMethodEnabled);
  viewport()->setCursor(Qt::IBeamCursor);
  viewport()->setBackgroundRole(QPalette::Base);
  const Qt::ScrollBarPolicy policy =
      memo_.Options.Contains(pmoAutoScrollBars) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOn;
  setVerticalScrollBarPolicy(policy);
  setHorizontalScrollBarPolicy(policy);

  // fontconfig maps Courier New to the metric-compatible Liberation Mono.
  memo_.LayoutSettings.Font = TFontSpec{u"Courier New", 10, 0};
  memo_.LayoutSettings.AltFont = memo_.LayoutSettings.Font;
  memo_.SetClientSize(viewport()->width(), viewport()->height());

  connect(&blink_, &QTimer::timeout, this, &TPlusMemoWidget::BlinkCaret);
  UseQtClipboard();
  memo_.SetHost(this);
}

TPlusMemoWidget::~TPlusMemoWidget() {
  // Stops and joins the formatting worker before the dispatcher goes.
  memo_.SetHost(nullptr);
}

void TPlusMemoWidget::SetEditorFont(const TFontSpec& font) {
  memo_.LayoutSettings.Font = font;
  memo_.LayoutSettings.AltFont = font;
  memo_.LayoutChanged();
}

void TPlusMemoWidget::SetWordWrap(bool on) {
  memo_.WordWrap = on;
  memo_.LayoutChanged();
}

void TPlusMemoWidget::Relayout() { memo_.LayoutChanged(); }

void TPlusMemoWidget::Refresh() {
  memo_.ScrollInView();
  RestartBlink();
  // The memo asked for what its change needs; the caret shows again.
  const TRect r = Painter().CaretRect();
  if (r.Right > r.Left) InvalidateRect(r);
}

void TPlusMemoWidget::Invalidate() { viewport()->update(); }

void TPlusMemoWidget::InvalidateRect(const TRect& r) {
  viewport()->update(QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top));
}

void TPlusMemoWidget::ScrollBarsChanged() {
  if (updatingBars_) return;
  updatingBars_ = true;
  TLayoutEngine& layout = Layout();
  const int height = std::max(layout.LineHeight(), 1);
  const int viewHeight = viewport()->height();
  const int viewWidth = viewport()->width();
  // Paragraphs not laid out yet count as one line each; the range grows as
  // the background formatting reaches them. Two extra pixels below the last
  // line, as ScrollInView leaves them.
  const int64_t total = int64_t{memo_.LineCount()} * height + 2;
  QScrollBar* v = verticalScrollBar();
  v->setRange(0, ClampToInt(std::max<int64_t>(0, total - viewHeight)));
  v->setSingleStep(height);
  v->setPageStep(std::max(height, viewHeight - height));

  QScrollBar* h = horizontalScrollBar();
  if (layout.HorizontalScrolling()) {
    const int64_t width =
        int64_t{memo_.LayoutSettings.LeftMargin} + layout.WidestLine() + memo_.LayoutSettings.RightMargin + 2;
    h->setRange(0, ClampToInt(std::max<int64_t>({0, width - viewWidth, int64_t{layout.HScroll}})));
    h->setSingleStep(std::max(layout.AverageCharWidth(), 1));
    h->setPageStep(std::max(viewWidth, 1));
  } else {
    h->setRange(0, std::max(layout.HScroll, 0));
  }
  // The memo's offsets are the truth; the bars only show them.
  v->setMaximum(std::max(v->maximum(), layout.VScroll));
  v->setValue(layout.VScroll);
  h->setValue(layout.HScroll);
  // QAbstractScrollArea shows or hides its bars on a queued signal; laying
  // the children out now gives the viewport its final size at once, so that
  // the caret is scrolled into the view the user sees. Setting the margins
  // again is the public way to ask for that layout.
  setViewportMargins(viewportMargins());
  updatingBars_ = false;
}

void TPlusMemoWidget::scrollContentsBy(int, int) {
  // The engine paints from the scroll offsets; the whole view is repainted
  // instead of shifting pixels.
  if (updatingBars_) return;
  memo_.SetScrollPos(horizontalScrollBar()->value(), verticalScrollBar()->value());
  emit Scrolled();
}

void TPlusMemoWidget::BlinkCaret() {
  caretPhase_ = !caretPhase_;
  // Only the caret changes; a wide overwrite caret spans a character.
  const TRect r = Painter().CaretRect();
  if (r.Right > r.Left)
    InvalidateRect(r);
  else
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

void TPlusMemoWidget::paintEvent(QPaintEvent* event) {
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
  } restore{Painter().Settings, Painter().Settings.DisplayOnly, measurer_};
  Painter().Settings.DisplayOnly = restore.DisplayOnly || !caretPhase_;
  // Only what needs it: a typed character repaints its line, a blink the caret.
  const QRect r = event->rect();
  Painter().Paint(measurer_, TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1}, hasFocus());
}

void TPlusMemoWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  memo_.SetClientSize(viewport()->width(), viewport()->height());
  ScrollBarsChanged();
}

bool TPlusMemoWidget::viewportEvent(QEvent* event) {
  // The viewport shrinks when a bar appears: the memo must know its client size.
  if (event->type() == QEvent::Resize) memo_.SetClientSize(viewport()->width(), viewport()->height());
  bool result = false;
  memo_.HandleMessage(MessageOf(event), [&] { result = QAbstractScrollArea::viewportEvent(event); });
  return result;
}

bool TPlusMemoWidget::event(QEvent* event) {
  bool result = false;
  memo_.HandleMessage(MessageOf(event), [&] { result = QAbstractScrollArea::event(event); });
  return result;
}

void TPlusMemoWidget::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  const TShiftState shift = ShiftOf(mods);
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
      const TRect r = memo_.Painter()->CaretRect();
      // Caret rectangles are viewport coordinates; input methods want the widget's.
      return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top).translated(viewport()->pos());
    }
    default:
      return QAbstractScrollArea::inputMethodQuery(query);
  }
}

void TPlusMemoWidget::mousePressEvent(QMouseEvent* event) {
  TMouseButton button;
  if (!MapButton(event->button(), button)) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  setFocus(Qt::MouseFocusReason);
  const QPoint p = event->position().toPoint();
  memo_.MouseDown(button, ShiftOf(event->modifiers()), p.x(), p.y());
  Refresh();
  event->accept();
}

void TPlusMemoWidget::mouseMoveEvent(QMouseEvent* event) {
  if ((event->buttons() & Qt::LeftButton) == 0) {
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  memo_.MouseMove(ShiftOf(event->modifiers()), p.x(), p.y());
  Refresh();
  event->accept();
}

void TPlusMemoWidget::mouseReleaseEvent(QMouseEvent* event) {
  TMouseButton button;
  if (!MapButton(event->button(), button)) {
    QAbstractScrollArea::mouseReleaseEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  memo_.MouseUp(button, ShiftOf(event->modifiers()), p.x(), p.y());
  event->accept();
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
  const int64_t v = int64_t{memo_.VScroll()} - int64_t{notches} * WheelLines * Layout().LineHeight();
  const int64_t bottom = std::max<int64_t>(verticalScrollBar()->maximum(), memo_.VScroll());
  memo_.SetScrollPos(memo_.HScroll(), static_cast<int>(std::clamp<int64_t>(v, 0, bottom)));
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
