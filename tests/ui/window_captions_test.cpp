// Captions fit their controls: the windows' controls keep their design places
// and sizes, and the design font lets every caption show whole, at both ends
// and at its lower edge.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPushButton>
#include <QStatusBar>

#include <string>

#include "platform/control_store.h"
#include "ui/design_font.h"
#include "ui/main_window.h"
#include "ui/signin/sign_in_windows.h"
#include "ui_test_support.h"

namespace {

// What of `control`'s caption does not fit; empty when it all shows.
std::string CaptionOverflow(const QWidget& control) {
  const ControlCaption caption = CaptionOf(control);
  if (caption.text.trimmed().isEmpty())
    return {};
  // What is drawn, and on a button a pixel's gap from each side of its frame
  // (a glyph that touches it looks cut); a full-width colon at the end leaves
  // its right half blank.
  const QFontMetrics metrics(control.font());
  const int gap = qobject_cast<const QPushButton*>(&control) != nullptr ? 2 : 0;
  const int width = metrics.tightBoundingRect(caption.text).width() + gap;
  const QRect area = caption.area;
  std::string overflow;
  if (width > area.width())
    overflow += "needs width " + std::to_string(width) + ", has " + std::to_string(area.width());
  if (metrics.height() > area.height())
    overflow += " needs height " + std::to_string(metrics.height()) + ", has " +
                std::to_string(area.height());
  return overflow;
}

void ExpectEveryCaptionFits(const QWidget& window) {
  for (const QWidget* control : window.findChildren<QWidget*>()) {
    if (control->objectName().isEmpty() || !control->isVisibleTo(&window))
      continue;
    EXPECT_EQ(CaptionOverflow(*control), "")
        << control->objectName().toStdString() << ": " << CaptionOf(*control).text.toStdString();
  }
}

TEST(WindowCaptionsTest, EveryCaptionOfTheSignInChooserFitsItsControl) {
  SignInMethodWindow chooser;
  chooser.show();
  ASSERT_EQ(chooser.findChild<QWidget*>(Q(u"按钮1"))->geometry(), QRect(16, 47, 304, 32))
      << "the design place";
  ExpectEveryCaptionFits(chooser);
}

TEST(WindowCaptionsTest, EveryCaptionOfTheMainWindowFitsItsControl) {
  ControlStore store;
  MainWindow window{store};
  window.show();
  QCoreApplication::processEvents();  // the status bar's layout
  ExpectEveryCaptionFits(window);
  const auto* bar = window.ControlAs<QStatusBar>(u"状态条1");
  EXPECT_LE(bar->geometry().bottom(), window.rect().bottom()) << "the status bar's lower edge";
}

}  // namespace
