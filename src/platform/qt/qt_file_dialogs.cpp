#include "platform/qt/qt_file_dialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <algorithm>

#include "platform/qt/qt_window_handle.h"
#include "platform/qt/ui_thread.h"

namespace {

std::vector<std::string> RunFileDialog(const FileDialogRequest& request) {
  QFileDialog dialog(QApplication::activeWindow(), QStringFromCp936(request.title),
                     QStringFromCp936(request.initialFolder));
  QStringList filters = QtNameFilters(request.filters);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
  }
  if (!request.defaultExtension.empty()) {
    dialog.setDefaultSuffix(QStringFromCp936(request.defaultExtension));
  }
  switch (request.kind) {
    case FileDialogKind::kOpen:
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(request.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
      break;
    case FileDialogKind::kSave:
      dialog.setAcceptMode(QFileDialog::AcceptSave);
      dialog.setFileMode(QFileDialog::AnyFile);
      dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
      break;
    case FileDialogKind::kOpenMany:
      dialog.setAcceptMode(QFileDialog::AcceptOpen);
      dialog.setFileMode(QFileDialog::ExistingFiles);
      break;
  }
  if (!request.initialFile.empty()) {
    dialog.selectFile(QStringFromCp936(request.initialFile));
  }
  std::vector<std::string> chosen;
  if (dialog.exec() == QDialog::Accepted) {
    for (const QString& path : dialog.selectedFiles()) {
      chosen.push_back(Cp936FromQString(path));
    }
  }
  return chosen;
}

QColor ColourOf(std::uint32_t colour) {
  return QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
                static_cast<int>((colour >> 16) & 0xFF));
}

}  // namespace

QStringList QtNameFilters(const std::vector<FileDialogFilter>& filters) {
  QStringList names;
  for (const FileDialogFilter& filter : filters) {
    QString patterns = QStringFromCp936(filter.patterns);
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    names << QStringFromCp936(filter.description) + QStringLiteral(" (") + patterns +
                 QStringLiteral(")");
  }
  return names;
}

std::vector<std::string> QtFileDialogs::ShowFileDialog(const FileDialogRequest& request) {
  std::vector<std::string> chosen;
  RunOnUiThreadAndWait(&m_context, [&] { chosen = RunFileDialog(request); });
  return chosen;
}

bool QtFileDialogs::ShowFontDialog(const FontDialogRequest& request, FontDialogAnswer& answer) {
  bool ok = false;
  RunOnUiThreadAndWait(&m_context, [&] {
    QFont initial(QStringFromCp936(request.faceName));
    if (request.pointSize > 0) {
      initial.setPointSize(request.pointSize);
    }
    initial.setBold(request.bold);
    initial.setItalic(request.italic);
    initial.setStrikeOut(request.strikeout);
    initial.setUnderline(request.underline);
    QFontDialog dialog(initial, QApplication::activeWindow());
    // The colour is offered as the sample text's colour only.
    QPalette palette = dialog.palette();
    palette.setColor(QPalette::Text, ColourOf(request.colour));
    dialog.setPalette(palette);
    if (dialog.exec() != QDialog::Accepted) {
      return;
    }
    QFont font = dialog.selectedFont();
    int tenths = static_cast<int>(font.pointSizeF() * 10.0);
    tenths = std::clamp(tenths, request.minimumPointSize * 10, request.maximumPointSize * 10);
    answer.faceName = Cp936FromQString(font.family());
    answer.pointSizeTenths = tenths;
    answer.weight = font.bold() ? 700 : 400;
    answer.italic = font.italic();
    answer.strikeout = font.strikeOut();
    answer.underline = font.underline();
    answer.escapement = 0;
    ok = true;
  });
  return ok;
}

bool QtFileDialogs::ShowWideOpenDialog(WideOpenFileName& dialog) {
  bool ok = false;
  RunOnUiThreadAndWait(&m_context, [&] {
    QString path = QFileDialog::getOpenFileName(
        QApplication::activeWindow(), QStringFromU16(dialog.title),
        QStringFromU16(dialog.initialFolder), QtNameFilters(dialog.filters).join(";;"));
    if (path.isEmpty()) {
      return;
    }
    std::u16string chosen = U16FromQString(path);
    if (chosen.size() < dialog.maxFileChars) {
      dialog.file = chosen;
      ok = true;
    }
  });
  return ok;
}
