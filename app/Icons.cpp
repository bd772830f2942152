// Draws the image list: each icon is painted on a 16-unit grid with the same outline, palette and
// corner rounding, at 16 and 32 pixels so menus and tool bars stay sharp on dense screens.
#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>
#include <map>

namespace qm {

namespace {

const QColor kInk(0x2b, 0x44, 0x70);    // outlines
const QColor kPaper(0xff, 0xff, 0xff);  // pages
const QColor kAmber(0xf0, 0xb4, 0x29);  // folders, highlights
const QColor kBlue(0x3b, 0x82, 0xc4);   // main fills
const QColor kGreen(0x2e, 0x8b, 0x57);  // additions
const QColor kRed(0xc0, 0x39, 0x2b);    // removal, exit
const QColor kGrey(0x9a, 0xa5, 0xb1);   // text lines

using TDraw = std::function<void(QPainter&)>;

void Outline(QPainter& p, const QColor& fill) {
  p.setPen(QPen(kInk, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
}

void Lines(QPainter& p, double x, double y, double w, int n, double step = 2.5) {
  p.setPen(QPen(kGrey, 1.0, Qt::SolidLine, Qt::FlatCap));
  for (int i = 0; i < n; ++i) p.drawLine(QPointF(x, y + i * step), QPointF(x + w, y + i * step));
}

void Page(QPainter& p, double x, double y, double w, double h) {
  QPainterPath path;
  path.moveTo(x, y);
  path.lineTo(x + w - 3, y);
  path.lineTo(x + w, y + 3);
  path.lineTo(x + w, y + h);
  path.lineTo(x, y + h);
  path.closeSubpath();
  Outline(p, kPaper);
  p.drawPath(path);
  p.drawLine(QPointF(x + w - 3, y), QPointF(x + w - 3, y + 3));
  p.drawLine(QPointF(x + w - 3, y + 3), QPointF(x + w, y + 3));
}

void Arrow(QPainter& p, const QColor& colour, bool left) {
  QPainterPath path;
  if (left) {
    path.moveTo(13.5, 12.5);
    path.cubicTo(13.5, 6, 9, 4.5, 5, 5.5);
  } else {
    path.moveTo(2.5, 12.5);
    path.cubicTo(2.5, 6, 7, 4.5, 11, 5.5);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(path);
  QPolygonF head;
  if (left)
    head << QPointF(2, 5.5) << QPointF(6.5, 2) << QPointF(6.5, 9);
  else
    head << QPointF(14, 5.5) << QPointF(9.5, 2) << QPointF(9.5, 9);
  Outline(p, colour);
  p.setPen(Qt::NoPen);
  p.drawPolygon(head);
}

void Lens(QPainter& p) {
  p.setPen(QPen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(9.5, 9.5), QPointF(14, 14));
  Outline(p, QColor(0xd6, 0xe8, 0xf7));
  p.drawEllipse(QPointF(6.5, 6.5), 4.5, 4.5);
}

void Glyph(QPainter& p, const QString& text, const QColor& colour, double size) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(static_cast<int>(size));
  font.setBold(true);
  p.setFont(font);
  p.setPen(colour);
  p.drawText(QRectF(0, 0, 16, 16), Qt::AlignCenter, text);
}

const std::map<std::string, TDraw>& Drawings() {
  static const std::map<std::string, TDraw> drawings{
      {"NewScript",
       [](QPainter& p) {
         Page(p, 2.5, 1.5, 10, 13);
         Lines(p, 4.5, 6, 5, 3);
         Outline(p, kGreen);
         p.drawEllipse(QPointF(12, 12), 3.2, 3.2);
         p.setPen(QPen(kPaper, 1.2));
         p.drawLine(QPointF(12, 10.3), QPointF(12, 13.7));
         p.drawLine(QPointF(10.3, 12), QPointF(13.7, 12));
       }},
      {"OpenScript",
       [](QPainter& p) {
         Outline(p, kAmber.darker(115));
         p.drawRoundedRect(QRectF(1.5, 3.5, 12, 10), 1, 1);
         QPolygonF front;
         front << QPointF(3.5, 7.5) << QPointF(15, 7.5) << QPointF(13, 13.5) << QPointF(1.5, 13.5);
         Outline(p, kAmber);
         p.drawPolygon(front);
       }},
      {"SaveScript",
       [](QPainter& p) {
         Outline(p, kBlue);
         p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
         Outline(p, kPaper);
         p.drawRect(QRectF(4, 1.5, 8, 5));
         Outline(p, kGrey);
         p.drawRect(QRectF(4.5, 9.5, 7, 5));
       }},
      {"Exit",
       [](QPainter& p) {
         Outline(p, kAmber.darker(110));
         p.drawRect(QRectF(2.5, 1.5, 7, 13));
         Outline(p, kRed);
         p.setPen(QPen(kRed, 2.0, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(7, 8), QPointF(13, 8));
         p.setPen(Qt::NoPen);
         p.drawPolygon(QPolygonF() << QPointF(15, 8) << QPointF(11.5, 5) << QPointF(11.5, 11));
       }},
      {"undo1", [](QPainter& p) { Arrow(p, kBlue, true); }},
      {"redo1", [](QPainter& p) { Arrow(p, kBlue, false); }},
      {"SelAll",
       [](QPainter& p) {
         p.setBrush(QColor(0xd6, 0xe8, 0xf7));
         p.setPen(QPen(kInk, 1.0, Qt::DashLine));
         p.drawRect(QRectF(1.5, 1.5, 13, 13));
         Lines(p, 4, 5, 8, 3, 3);
       }},
      {"copy1",
       [](QPainter& p) {
         Page(p, 1.5, 1.5, 8, 10);
         Page(p, 6.5, 4.5, 8, 10);
         Lines(p, 8.5, 8.5, 4, 3);
       }},
      {"cut1",
       [](QPainter& p) {
         p.setPen(QPen(kInk, 1.4, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(4.5, 1.5), QPointF(10.5, 10));
         p.drawLine(QPointF(11.5, 1.5), QPointF(5.5, 10));
         Outline(p, kRed);
         p.drawEllipse(QPointF(4.5, 12), 2.5, 2.5);
         p.drawEllipse(QPointF(11.5, 12), 2.5, 2.5);
       }},
      {"paste1",
       [](QPainter& p) {
         Outline(p, kAmber);
         p.drawRoundedRect(QRectF(1.5, 2.5, 10, 12), 1, 1);
         Outline(p, kGrey);
         p.drawRect(QRectF(4, 1.5, 5, 2.5));
         Page(p, 6.5, 6.5, 8, 8);
         Lines(p, 8.5, 10, 4, 2);
       }},
      {"Find", [](QPainter& p) { Lens(p); }},
      {"FindNext",
       [](QPainter& p) {
         Lens(p);
         Outline(p, kGreen);
         p.setPen(Qt::NoPen);
         p.drawPolygon(QPolygonF() << QPointF(15.5, 3) << QPointF(11.5, 0.5) << QPointF(11.5, 5.5));
       }},
      {"Goto1",
       [](QPainter& p) {
         Lines(p, 8, 3, 6.5, 5, 2.5);
         p.setPen(QPen(kGreen, 2.0, Qt::SolidLine, Qt::RoundCap));
         p.drawLine(QPointF(1.5, 8), QPointF(5, 8));
         Outline(p, kGreen);
         p.setPen(Qt::NoPen);
         p.drawPolygon(QPolygonF() << QPointF(7.5, 8) << QPointF(4, 4.5) << QPointF(4, 11.5));
       }},
      {"Wiev1",
       [](QPainter& p) {
         Outline(p, kPaper);
         p.drawEllipse(QRectF(1.5, 2.5, 13, 11));
         const QColor dots[] = {kRed, kAmber, kGreen, kBlue};
         const QPointF at[] = {{5, 6}, {8.5, 5}, {11.5, 7}, {5.5, 9.5}};
         for (int i = 0; i < 4; ++i) {
           p.setPen(Qt::NoPen);
           p.setBrush(dots[i]);
           p.drawEllipse(at[i], 1.4, 1.4);
         }
       }},
      {"About",
       [](QPainter& p) {
         Outline(p, kBlue);
         p.drawEllipse(QPointF(8, 8), 6.5, 6.5);
         Glyph(p, QStringLiteral("i"), kPaper, 11);
       }},
      {"ActionBeginEnd",
       [](QPainter& p) {
         Outline(p, kBlue);
         p.drawRoundedRect(QRectF(1.5, 1.5, 13, 3), 1, 1);
         p.drawRoundedRect(QRectF(1.5, 11.5, 13, 3), 1, 1);
         Lines(p, 5, 7, 8, 2, 2.5);
       }},
      {"ActionIfEnd",
       [](QPainter& p) {
         Outline(p, kAmber);
         p.drawPolygon(QPolygonF() << QPointF(8, 1.5) << QPointF(14.5, 8) << QPointF(8, 14.5) << QPointF(1.5, 8));
         Glyph(p, QStringLiteral("?"), kInk, 9);
       }},
      {"ToolButton13",
       [](QPainter& p) {
         Outline(p, kPaper);
         p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
         Glyph(p, QStringLiteral("<>"), kBlue, 9);
       }},
      {"ToolButton19",
       [](QPainter& p) {
         Outline(p, kPaper);
         p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
         Glyph(p, QStringLiteral("x"), kGreen, 11);
       }},
      {"ToolButton16",
       [](QPainter& p) {
         Outline(p, kPaper);
         p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
         Outline(p, kBlue);
         p.drawRect(QRectF(1.5, 1.5, 13, 3));
         Lines(p, 4, 7.5, 8, 3, 2.5);
       }},
  };
  return drawings;
}

QPixmap Render(const TDraw& draw, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(size / 16.0, size / 16.0);
  draw(painter);
  return pixmap;
}

}  // namespace

QIcon ActionIcon(const std::string& name) {
  const auto it = Drawings().find(name);
  if (it == Drawings().end()) return {};
  QIcon icon;
  for (int size : {16, 32}) icon.addPixmap(Render(it->second, size));
  return icon;
}

const std::vector<std::string>& IconNames() {
  static const std::vector<std::string> names = [] {
    std::vector<std::string> list;
    for (const auto& entry : Drawings()) list.push_back(entry.first);
    return list;
  }();
  return names;
}

}  // namespace qm
