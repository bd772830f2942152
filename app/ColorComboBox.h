// A colour picker: a drop-down list of colour swatches ending with "Другой...", which opens the colour dialog.
#pragma once

#include <QComboBox>

#include <functional>

#include "editor/store/Types.h"

namespace qm {

class TColorComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TColorComboBox(QWidget* parent = nullptr);

  // The picked colour as a 32-bit colour number (system colours included).
  TColor Colour() const;
  // Selects colour; a colour that is not in the list yet joins it.
  void SetColour(TColor colour);

  // Asks the user for a colour when "Другой..." is picked; false when the
  // user cancels. Tests replace it; by default the platform's colour dialog.
  std::function<bool(TColor& colour)> AskColour;

 signals:
  void ColourChanged();

 private:
  void OnActivated(int index);
  int IndexOf(TColor colour) const;
  int AddColour(TColor colour, const QString& name);
  int otherIndex() const { return count() - 1; }

  int last_ = 0;  // the colour shown before "Другой..." was picked
};

}  // namespace qm
