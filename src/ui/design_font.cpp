#include "ui/design_font.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QWidget>

namespace {

// Below this a caption is too small to read; a window keeps it even when a
// caption still does not fit.
constexpr double kSmallestPoints = 7.0;
constexpr double kPointStep = 0.5;
// A button's caption keeps one pixel from each side of the button's frame: a
// glyph that touches the frame looks cut.
constexpr int kFrameClearance = 2;

// The part of `button` where its caption is drawn, as the style lays it out.
QRect CaptionArea(const QAbstractButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  QStyle::SubElement area = QStyle::SE_PushButtonContents;
  if (qobject_cast<const QCheckBox*>(&button) != nullptr) {
    area = QStyle::SE_CheckBoxContents;
  } else if (qobject_cast<const QRadioButton*>(&button) != nullptr) {
    area = QStyle::SE_RadioButtonContents;
  }
  return button.style()->subElementRect(area, &option, &button);
}

}  // namespace

ControlCaption CaptionOf(const QWidget& control) {
  ControlCaption caption;
  if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
    caption.text = button->text();
    caption.area = CaptionArea(*button);
  } else if (const auto* label = qobject_cast<const QLabel*>(&control);
             label != nullptr && !label->wordWrap()) {
    caption.text = label->text();
    caption.area = label->contentsRect();
  }
  caption.text.remove(QLatin1Char('&'));
  return caption;
}

namespace {

bool CaptionFits(const QWidget& control) {
  const ControlCaption caption = CaptionOf(control);
  if (caption.text.trimmed().isEmpty()) {
    return true;
  }
  // What is drawn counts: a full-width colon at the end leaves its right half
  // blank. A line's full height keeps the lower edge of every glyph.
  const QFontMetrics metrics(control.font());
  const int clearance = qobject_cast<const QPushButton*>(&control) != nullptr ? kFrameClearance : 0;
  return metrics.tightBoundingRect(caption.text).width() + clearance <= caption.area.width() &&
         metrics.height() <= caption.area.height();
}

bool EveryCaptionFits(const QWidget& window) {
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    if (!CaptionFits(*control)) {
      return false;
    }
  }
  return true;
}

}  // namespace

void UseDesignFont(QWidget& window) {
  QFont font = window.font();
  font.setPointSize(kDesignFontPoints);
  window.setFont(font);
}

void FitCaptionsByFontSize(QWidget& window) {
  QFont font = window.font();
  for (double points = font.pointSizeF();
       !EveryCaptionFits(window) && points - kPointStep >= kSmallestPoints;) {
    points -= kPointStep;
    font.setPointSizeF(points);
    window.setFont(font);
  }
}
