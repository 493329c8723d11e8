#pragma once
// The font the program's windows are laid out for. Their controls have fixed
// places and sizes in design pixels at 96 DPI, made for a 9-point font (12
// pixels at 96 DPI); a point size grows with the screen's logical DPI, as the
// places do when a window is rescaled. Fonts wider than the one the places were
// made for would cut captions at both ends.

#include <QRect>
#include <QString>

class QWidget;

inline constexpr int kDesignFontPoints = 9;

// Gives `window` (and so every control on it) the design font. UI thread.
void UseDesignFont(QWidget& window);

// Makes the font of `window` smaller in half points, down to 7 points, until
// every caption of its buttons and one-line labels shows whole. Call it once
// the controls hold their captions and places. UI thread.
void FitCaptionsByFontSize(QWidget& window);

// The caption of a button or a one-line label (mnemonic marks taken out) and
// the part of the control where the style draws it; an empty text for other
// controls.
struct ControlCaption {
  QString text;
  QRect area;
};
ControlCaption CaptionOf(const QWidget& control);
