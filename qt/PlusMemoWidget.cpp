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

// With Shift a digit key reports the symbol above it; the bookmark keys
// (Ctrl+Shift+digit) want the digit. The symbols are those of the US and of
// the Russian layout (where 2 gives ", 3 №, 4 ;, 6 : and 7 ?), which our
// users type with.
int UnshiftedDigit(int key) {
  switch (key) {
    case Qt::Key_QuoteDbl: return Qt::Key_2;
    case 0x2116: return Qt::Key_3;  // №
    case Qt::Key_Semicolon: return Qt::Key_4;
    case Qt::Key_Colon: return Qt::Key_6;
    case Qt::Key_Question: return Qt::Key_7;
    case Qt::Key_ParenRight: return Qt::Key_0;
    case Qt::Key_Exclam: return Qt::Key_1;
    case Qt::Key_At: return Qt::Key_2;
    case Qt::Key_NumberSign: return Qt::Key_3;
    case Qt::Key_Dollar: return Qt::Key_4;
    case Qt::Key_Percent: return Qt::Key_5;
    case Qt::Key_AsciiCircum: return Qt::Key_6;
    case Qt::Key_Ampersand: return Qt::Key_7;
    case Qt::Key_Asterisk: return Qt::Key_8;
    case Qt::Key_ParenLeft: return Qt::Key_9;
    default: return key;
  }
}

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
    case Qt::Key_Space: return TpmKey::kSpace;
    default:
      if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return LetterOrDigitKey(static_cast<char>(key));
      return TpmKey::kNone;
  }
}

// Run cursor numbers in the window toolkit's numbering (negative built-in cursors).
Qt::CursorShape RunCursorShape(int16_t number) {
  switch (number) {
    case -2: return Qt::ArrowCursor;
    case -3: return Qt::CrossCursor;
    case -11: return Qt::WaitCursor;
    case -18: return Qt::ForbiddenCursor;
    case -21: return Qt::PointingHandCursor;
    default: return Qt::IBeamCursor;
  }
}

int ClampToInt(int64_t v) { return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

TShiftState ShiftOf(Qt::KeyboardModifiers mods) {
  return TShiftState{(mods & Qt::ShiftModifier) != 0, (mods & Qt::ControlModifier) != 0, (mods & Qt::AltModifier) != 0};
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
  // The cursor follows the pointer over margins, selections and runs.
  viewport()->setMouseTracking(true);
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
  // The gutter looks at the paint to follow the view.
  memo_.Painted();
}

void TPlusMemoWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  memo_.SetClientSize(viewport()->width(), viewport()->height());
  ScrollBarsChanged();
}

bool TPlusMemoWidget::viewportEvent(QEvent* event) {
  // The viewport shrinks when a bar appears: the memo must know its client size.
  if (event->type() == QEvent::Resize) memo_.SetClientSize(viewport()->width(), viewport()->height());
  return QAbstractScrollArea::viewportEvent(event);
}

void TPlusMemoWidget::keyPressEvent(QKeyEvent* event) {
  const TShiftState shift = ShiftOf(event->modifiers());
  const int key = shift.Ctrl && shift.Shift ? UnshiftedDigit(event->key()) : event->key();
  const TpmKey mapped = MapKey(key);
  bool handled = mapped != TpmKey::kNone && memo_.KeyDown(mapped, shift);
  if (!handled) handled = SendCharacter(event, mapped, shift);
  if (!handled) {
    QAbstractScrollArea::keyPressEvent(event);
    return;
  }
  event->accept();
  // A selection change that leaves the caret in place fires no event.
  Refresh();
}

void TPlusMemoWidget::keyReleaseEvent(QKeyEvent* event) {
  const TpmKey mapped = MapKey(event->key());
  if (mapped != TpmKey::kNone && !event->isAutoRepeat()) memo_.KeyUp(mapped, ShiftOf(event->modifiers()));
  QAbstractScrollArea::keyReleaseEvent(event);
}

bool TPlusMemoWidget::SendCharacter(QKeyEvent* event, TpmKey mapped, TShiftState shift) {
  // What the character message after a key would carry. Tab with Alt belongs to the window system.
  if (shift.Ctrl && !shift.Alt) {
    const int key = event->key();
    // Ctrl+letter as its control code: platforms differ in the text they attach.
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return memo_.KeyPress(static_cast<char16_t>(key - Qt::Key_A + 1));
    return false;
  }
  if (mapped == TpmKey::kTab && ((shift.Alt && !shift.Ctrl) || !TakesTab())) return false;
  if (mapped == TpmKey::kReturn) return memo_.KeyPress(13);
  if (mapped == TpmKey::kTab) return memo_.KeyPress(9);
  // Other named keys (arrows, Backspace, Escape…) bring no character; letters and digits do.
  if (mapped != TpmKey::kNone && static_cast<int>(mapped) < static_cast<int>(TpmKey::kA)) return false;
  bool handled = false;
  for (const QChar c : event->text())
    if (c.unicode() >= 32 && c.unicode() != 127) handled = memo_.KeyPress(c.unicode()) || handled;
  return handled;
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
    case Qt::ImEnabled: return !memo_.ReadOnly;
    case Qt::ImCursorRectangle: {
      const TRect r = memo_.Painter()->CaretRect();
      // Caret rectangles are viewport coordinates; input methods want the widget's.
      return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top).translated(viewport()->pos());
    }
    default: return QAbstractScrollArea::inputMethodQuery(query);
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
  const QPoint p = event->position().toPoint();
  const TShiftState shift = ShiftOf(event->modifiers());
  if ((event->buttons() & Qt::LeftButton) == 0) {
    ShowCursor(memo_.CursorAt(p.x(), p.y(), shift));
    QAbstractScrollArea::mouseMoveEvent(event);
    return;
  }
  memo_.MouseMove(shift, p.x(), p.y());
  if (memo_.Dragging()) ShowCursor(memo_.CursorAt(p.x(), p.y(), shift));
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
  ShowCursor(memo_.CursorAt(p.x(), p.y(), ShiftOf(event->modifiers())));
  Refresh();
  event->accept();
}

void TPlusMemoWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mouseDoubleClickEvent(event);
    return;
  }
  const QPoint p = event->position().toPoint();
  memo_.MouseDblClick(p.x(), p.y());
  Refresh();
  event->accept();
}

void TPlusMemoWidget::ShowCursor(const TpmCursorInfo& cursor) {
  Qt::CursorShape shape = Qt::IBeamCursor;
  switch (cursor.Kind) {
    case TpmCursor::crIBeam: shape = Qt::IBeamCursor; break;
    // A right-pointing arrow: the mirrored arrow is not a standard shape, the
    // pointing hand comes nearest among them.
    case TpmCursor::crLineSelect: shape = Qt::PointingHandCursor; break;
    case TpmCursor::crDrag: shape = Qt::DragMoveCursor; break;
    case TpmCursor::crDragCopy: shape = Qt::DragCopyCursor; break;
    case TpmCursor::crRun: shape = RunCursorShape(cursor.RunCursor); break;
  }
  if (viewport()->cursor().shape() != shape) viewport()->setCursor(shape);
}

void TPlusMemoWidget::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    QAbstractScrollArea::wheelEvent(event);
    return;
  }
  memo_.MouseWheel(delta);
  event->accept();
}

int TPlusMemoWidget::WheelScrollLines() { return std::max(QApplication::wheelScrollLines(), 1); }

void TPlusMemoWidget::ShowPopupMenu(int x, int y, std::vector<TpmMenuItem> items) {
  // Created on first use and kept; its actions are made afresh with their enabled state.
  if (popup_ == nullptr) popup_ = new QMenu(this);
  popup_->clear();
  for (TpmMenuItem& item : items) {
    if (item.Caption == "-") {
      popup_->addSeparator();
      continue;
    }
    QAction* action = popup_->addAction(QString::fromStdString(item.Caption));
    action->setEnabled(item.Enabled);
    connect(action, &QAction::triggered, this, [this, run = std::move(item.Action)] {
      if (run) run();
      Refresh();
    });
  }
  popup_->popup(viewport()->mapToGlobal(QPoint(x, y)));
}

void TPlusMemoWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  memo_.DoEnter();
  RestartBlink();
  viewport()->update();
}

void TPlusMemoWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  memo_.DoExit();
  blink_.stop();
  viewport()->update();
}

bool TPlusMemoWidget::focusNextPrevChild(bool next) {
  // With WantTabs (and text to type into) Tab is a character of the text,
  // not a move to the next control.
  if (TakesTab()) return false;
  return QAbstractScrollArea::focusNextPrevChild(next);
}

bool TPlusMemoWidget::TakesTab() const { return memo_.WantTabs && !memo_.DisplayOnly(); }

}  // namespace qm
