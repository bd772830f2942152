// The balloon look of hints: a rounded, pale-yellow tip with a thin frame and no title or icon.
#include "app/BalloonHint.h"

#include <QApplication>
#include <QString>

namespace qm {

namespace {

const char* const kBalloonStyle =
    "QToolTip { color: #000000; background-color: #ffffe1; border: 1px solid #767676;"
    " border-radius: 5px; padding: 3px 5px; }";

}  // namespace

void InstallBalloonHints(QWidget*) {
  // One application-wide style, added once even when several windows ask.
  const QString style = QString::fromLatin1(kBalloonStyle);
  const QString current = qApp->styleSheet();
  if (!current.contains(style)) qApp->setStyleSheet(current + style);
}

}  // namespace qm
