#include "ui/status_line_label.h"

#include <QHelpEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QStyle>
#include <QToolTip>

StatusLineLabel::StatusLineLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QString StatusLineLabel::ShownText() const {
  const QString whole = text();
  const QFontMetrics metrics = fontMetrics();
  const int room = contentsRect().width();
  if (metrics.horizontalAdvance(whole) <= room)
    return whole;
  static const QRegularExpression kBlankRun(QStringLiteral(" {2,}"));
  QString compact = whole;
  compact.replace(kBlankRun, QStringLiteral(" "));
  return metrics.elidedText(compact, Qt::ElideRight, room);
}

void StatusLineLabel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  style()->drawItemText(&painter, contentsRect(),
                        static_cast<int>(QStyle::visualAlignment(layoutDirection(), alignment())),
                        palette(), isEnabled(), ShownText(), foregroundRole());
}

bool StatusLineLabel::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    if (ShownText() != text()) {
      QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text(), this);
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QLabel::event(event);
}
