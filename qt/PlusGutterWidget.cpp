// TPlusGutterWidget: paint, size and double-click of the gutter, and pixel scrolling when only the editor's view moved.
#include "qt/PlusGutterWidget.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>

namespace qm {

TPlusGutterWidget::TPlusGutterWidget(TPlusGutterU& gutter, QWidget* editorView, QWidget* parent)
    : QWidget(parent), gutter_(gutter), editorView_(editorView), surface_(palette()) {
  // Every pixel is painted: Qt need not clear the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  resize(gutter_.Width, gutter_.Height);
  setMinimumWidth(20);
  gutter_.SetHost(this);
}

TPlusGutterWidget::~TPlusGutterWidget() { gutter_.SetHost(nullptr); }

void TPlusGutterWidget::Invalidate() { update(); }

void TPlusGutterWidget::ScrollPixels(int dy) {
  ++pixelScrolls_;
  // QWidget::scroll moves the pixels and schedules the uncovered strip.
  scroll(0, dy);
}

int TPlusGutterWidget::OffsetToEditor() {
  if (editorView_.isNull()) return 0;
  return mapToGlobal(QPoint(0, 0)).y() - editorView_->mapToGlobal(QPoint(0, 0)).y();
}

void TPlusGutterWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  surface_.SetPalette(palette());
  surface_.SetPainter(&painter);
  const QRect r = event->rect();
  gutter_.Paint(surface_, TRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1});
  surface_.SetPainter(nullptr);
}

void TPlusGutterWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  gutter_.Width = width();
  gutter_.Height = height();
}

void TPlusGutterWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (gutter_.OnDblClick) gutter_.OnDblClick(&gutter_);
  event->accept();
}

}  // namespace qm
