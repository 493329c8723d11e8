#pragma once
// The help window on the rename settings ("设置说明", 430 x 372 design
// pixels): one read-only rich edit box with the help text, its headings red.
// User-interface thread.

#include <QDialog>
#include <QString>

class QTextEdit;

// The help text (kept in resources/), lines joined by line breaks.
QString SettingsHelpText();

// Colours the first occurrence of heading (case-sensitive) red; nothing for an
// empty or missing heading.
void HighlightHelpHeading(QTextEdit* edit, const QString& heading);

class SettingsHelpWindow : public QDialog {
 public:
  explicit SettingsHelpWindow(QWidget* parent = nullptr);
  // Rescales the window from 96 DPI (once), fills the text and turns the
  // nine headings red.
  void OnCreated();
  QTextEdit* TextBox() const { return m_text; }

 private:
  QTextEdit* m_text = nullptr;
  bool m_rescaled = false;
};
