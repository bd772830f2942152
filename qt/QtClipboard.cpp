// TQtClipboard: Unicode text and our MIME formats on QGuiApplication's clipboard.
#include "qt/QtClipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QString>

namespace qm {

std::string TQtClipboard::MimeType(const std::string& name) {
  std::string type = "application/x-qm-";
  for (char c : name) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
    // Window systems carry MIME types as atoms; spaces would not survive every one.
    type += plain ? c : '-';
  }
  return type;
}

void TQtClipboard::SetText(const std::u16string& text) {
  auto* data = new QMimeData;
  data->setText(QString::fromStdU16String(text));
  // setMimeData takes ownership and replaces every format at once.
  QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::u16string> TQtClipboard::Text() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr || !data->hasText()) return std::nullopt;
  return data->text().toStdU16String();
}

void TQtClipboard::SetFormat(const std::string& name, const std::vector<unsigned char>& bytes) {
  // A format goes beside what is there, so the current content is copied first.
  auto* data = new QMimeData;
  if (const QMimeData* old = QGuiApplication::clipboard()->mimeData(); old != nullptr)
    for (const QString& format : old->formats()) data->setData(format, old->data(format));
  data->setData(QString::fromStdString(MimeType(name)),
                QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
  QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<std::vector<unsigned char>> TQtClipboard::Format(const std::string& name) const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString type = QString::fromStdString(MimeType(name));
  if (data == nullptr || !data->hasFormat(type)) return std::nullopt;
  const QByteArray bytes = data->data(type);
  return std::vector<unsigned char>(bytes.begin(), bytes.end());
}

void UseQtClipboard() {
  static TQtClipboard clipboard;
  static const bool installed = [] {
    SetPlatformClipboard(&clipboard);
    return true;
  }();
  (void)installed;
}

}  // namespace qm
