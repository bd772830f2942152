// TPlusGutterWidget: the Qt widget that shows a TPlusGutterU beside a TPlusMemoWidget.
#pragma once

#include <QPointer>
#include <QWidget>

#include "editor/gutter/PlusGutterU.h"
#include "qt/QtSurface.h"

namespace qm {

// Paints the gutter through the engine's surface and gives it the editor's
// position on the screen; the gutter owns no window of its own otherwise.
class TPlusGutterWidget : public QWidget, public TGutterHost {
  Q_OBJECT

 public:
  // The gutter must outlive the widget; editorView is the editor's viewport,
  // whose top the gutter's lines are level with.
  TPlusGutterWidget(TPlusGutterU& gutter, QWidget* editorView, QWidget* parent = nullptr);
  ~TPlusGutterWidget() override;
  TPlusGutterWidget(const TPlusGutterWidget&) = delete;
  TPlusGutterWidget& operator=(const TPlusGutterWidget&) = delete;

  TPlusGutterU& Gutter() { return gutter_; }

  // TGutterHost
  void Invalidate() override;
  void ScrollPixels(int dy) override;
  int OffsetToEditor() override;

  // Pixel scrolls done instead of whole repaints (for tests and curiosity).
  int PixelScrolls() const { return pixelScrolls_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  TPlusGutterU& gutter_;
  QPointer<QWidget> editorView_;
  TQtSurface surface_;
  int pixelScrolls_ = 0;
};

}  // namespace qm
