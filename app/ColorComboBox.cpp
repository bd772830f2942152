// The colour picker's list, its swatches and the "Другой..." entry.
#include "app/ColorComboBox.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

#include "qt/QtSurface.h"

namespace qm {

namespace {

struct TNamedColour {
  TColor Colour;
  const char* Name;
};

// The basic colours and the system colours a stored setting may hold.
constexpr TNamedColour kColours[] = {
    {0x000000, "Чёрный"},
    {0x000080, "Тёмно-красный"},
    {0x008000, "Зелёный"},
    {0x008080, "Оливковый"},
    {0x800000, "Тёмно-синий"},
    {0x800080, "Фиолетовый"},
    {0x808000, "Сине-зелёный"},
    {0x808080, "Серый"},
    {0xC0C0C0, "Серебристый"},
    {0x0000FF, "Красный"},
    {0x00FF00, "Ярко-зелёный"},
    {0x00FFFF, "Жёлтый"},
    {0xFF0000, "Синий"},
    {0xFF00FF, "Розовый"},
    {0xFFFF00, "Голубой"},
    {0xFFFFFF, "Белый"},
    {0x0080FF, "Оранжевый"},
    {0x404080, "Коричневый"},
    {SystemColor(5), "Окно"},
    {SystemColor(8), "Текст окна"},
    {SystemColor(15), "Поверхность кнопки"},
};

QIcon Swatch(TColor colour) {
  QPixmap pixmap(16, 12);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.fillRect(0, 0, 16, 12, TQtSurface::ToQColor(colour, QPalette()));
  painter.setPen(Qt::black);
  painter.drawRect(0, 0, 15, 11);
  return QIcon(pixmap);
}

// A colour outside the list is named by its number, as the settings file holds it.
QString NameOf(TColor colour) {
  if ((static_cast<uint32_t>(colour) & 0xFF000000u) != 0) return QString::number(colour);
  const QColor rgb = TQtSurface::ToQColor(colour, QPalette());
  return rgb.name(QColor::HexRgb).toUpper();
}

}  // namespace

TColorComboBox::TColorComboBox(QWidget* parent) : QComboBox(parent) {
  setEditable(false);
  setIconSize(QSize(16, 12));
  for (const TNamedColour& entry : kColours) AddColour(entry.Colour, QString::fromUtf8(entry.Name));
  addItem(QStringLiteral("Другой..."));
  AskColour = [this](TColor& colour) {
    const QColor picked = QColorDialog::getColor(TQtSurface::ToQColor(colour, palette()), this);
    if (!picked.isValid()) return false;
    colour = static_cast<TColor>(picked.red() | (picked.green() << 8) | (picked.blue() << 16));
    return true;
  };
  connect(this, &QComboBox::activated, this, &TColorComboBox::OnActivated);
}

TColor TColorComboBox::Colour() const {
  const int index = currentIndex() == otherIndex() ? last_ : currentIndex();
  return static_cast<TColor>(itemData(index).toInt());
}

void TColorComboBox::SetColour(TColor colour) {
  int index = IndexOf(colour);
  if (index < 0) index = AddColour(colour, NameOf(colour));
  setCurrentIndex(index);
  last_ = index;
  emit ColourChanged();
}

void TColorComboBox::OnActivated(int index) {
  if (index != otherIndex()) {
    last_ = index;
    emit ColourChanged();
    return;
  }
  TColor colour = Colour();
  if (AskColour && AskColour(colour)) {
    SetColour(colour);
  } else {
    setCurrentIndex(last_);
  }
}

int TColorComboBox::IndexOf(TColor colour) const {
  for (int i = 0; i < otherIndex(); ++i)
    if (itemData(i).toInt() == colour) return i;
  return -1;
}

int TColorComboBox::AddColour(TColor colour, const QString& name) {
  // New colours go just before "Другой...", which stays last.
  const int index = count() > 0 && itemText(count() - 1) == QStringLiteral("Другой...") ? count() - 1 : count();
  insertItem(index, Swatch(colour), name, QVariant(static_cast<int>(colour)));
  return index;
}

}  // namespace qm
