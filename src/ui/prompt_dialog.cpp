#include "ui/prompt_dialog.h"

#include <QCheckBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <cmath>
#include <utility>

#include "ui/qt_text.h"

PromptDialogOptions g_promptDialogOptions;
std::string g_promptText;

namespace {

PromptRoutine& InstalledRoutine() {
  static PromptRoutine routine;
  return routine;
}

constexpr int kDesignWidth = 362;
constexpr int kMessageLeft = 14;
constexpr int kMessageTop = 14;
constexpr int kWideCheckWidth = 328;
constexpr int kNarrowCheckWidth = 150;
constexpr int kCheckHeight = 16;
constexpr int kButtonHeight = 30;

bool IsBlank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

QString ColourSheet(std::uint32_t bbggrr) {
  const QColor colour(static_cast<int>(bbggrr & 0xFF), static_cast<int>((bbggrr >> 8) & 0xFF),
                      static_cast<int>((bbggrr >> 16) & 0xFF));
  return QStringLiteral("color: %1;").arg(colour.name());
}

// The multi-line box keeps the limit the one-line box has: a longer default
// text is cut, and input beyond the limit is taken back where it was made.
// Both count UTF-16 units, a line break as one.
void LimitTextLength(QPlainTextEdit* edit, int maxLength) {
  const auto cut = [edit, maxLength] {
    const int excess = static_cast<int>(edit->toPlainText().size()) - maxLength;
    if (excess <= 0) {
      return;
    }
    QTextCursor cursor = edit->textCursor();
    const int end = cursor.position() >= excess ? cursor.position()
                                                : static_cast<int>(edit->toPlainText().size());
    cursor.setPosition(end - excess);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
  };
  cut();
  QObject::connect(edit, &QPlainTextEdit::textChanged, edit, cut);
}

}  // namespace

PromptRoutine InstallPromptRoutine(PromptRoutine routine) {
  return std::exchange(InstalledRoutine(), std::move(routine));
}

int ComputePromptMessageHeight(std::string_view message) {
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  while (start < message.size()) {
    const std::size_t cut = message.find("\r\n", start);
    if (cut == std::string_view::npos) {
      pieces.push_back(message.substr(start));
      break;
    }
    pieces.push_back(message.substr(start, cut - start));
    start = cut + 2;
  }
  if (pieces.empty()) {
    pieces.emplace_back();
  }
  double count = static_cast<double>(pieces.size());
  for (const std::string_view piece : pieces) {
    const double quotient = static_cast<double>(piece.size()) / 52.0;
    if (quotient - 1.0 > 1e-7) {
      count = std::floor(count + quotient);
      const double rounded = std::round(quotient * 100.0) / 100.0;
      if (rounded != std::floor(rounded)) {
        count += 1;
      }
    }
  }
  const int lines = std::max(0, static_cast<int>(count) - 1);
  return lines * 16;
}

bool ShowPromptDialog(const PromptDialogOptions& options, QWidget* parent) {
  g_promptDialogOptions = options;
  g_promptDialogOptions.accepted = false;
  if (const PromptRoutine routine = InstalledRoutine()) {
    g_promptDialogOptions.accepted = routine(parent);
    return g_promptDialogOptions.accepted;
  }
  PromptDialog dialog(parent);
  dialog.exec();
  return g_promptDialogOptions.accepted;
}

PromptDialog::PromptDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("PromptDialog"));
  setWindowTitle(QtText(u"请输入文本内容"));
  m_message = new QLabel(this);
  m_message->setObjectName(QtText(u"标签1"));
  m_message->setGeometry(14, 14, 328, 24);
  m_message->setWordWrap(true);
  m_message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_message->hide();
  m_check1 = new QCheckBox(QtText(u"选择框1"), this);
  m_check1->setObjectName(QtText(u"选择框1"));
  m_check1->setGeometry(14, 79, 328, kCheckHeight);
  m_check1->hide();
  m_check2 = new QCheckBox(QtText(u"选择框2"), this);
  m_check2->setObjectName(QtText(u"选择框2"));
  m_check2->setGeometry(182, 79, 328, kCheckHeight);
  m_check2->hide();
  m_ok = new QPushButton(QtText(u"确定(&S)"), this);
  m_ok->setObjectName(QtText(u"按钮1"));
  m_ok->setGeometry(56, 131, 96, kButtonHeight);
  m_ok->setDefault(true);
  m_cancel = new QPushButton(QtText(u"取消(C)"), this);
  m_cancel->setObjectName(QtText(u"按钮2"));
  m_cancel->setGeometry(206, 131, 96, kButtonHeight);
  connect(m_ok, &QPushButton::clicked, this, [this] { OnOk(); });
  connect(m_cancel, &QPushButton::clicked, this, [this] { OnCancel(); });
  Layout();
}

QWidget* PromptDialog::EditBox() const {
  return m_lines != nullptr ? static_cast<QWidget*>(m_lines) : static_cast<QWidget*>(m_line);
}

QString PromptDialog::EditText() const {
  return m_lines != nullptr ? m_lines->toPlainText() : m_line->text();
}

void PromptDialog::Layout() {
  PromptDialogOptions& options = g_promptDialogOptions;
  options.accepted = false;
  if (!options.title.empty()) {
    setWindowTitle(WidgetTextFromCp936(options.title));
  }

  const int inputMode = std::max(0, options.inputMode);
  QWidget* edit = nullptr;
  if (options.multiLine) {
    m_lines = new QPlainTextEdit(WidgetTextFromCp936(options.defaultText), this);
    m_lines->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_lines->setReadOnly(inputMode == kPromptInputReadOnly);
    if (options.maxLength > 0) {
      LimitTextLength(m_lines, options.maxLength);
    }
    edit = m_lines;
  } else {
    m_line = new QLineEdit(WidgetTextFromCp936(options.defaultText), this);
    m_line->setReadOnly(inputMode == kPromptInputReadOnly);
    if (inputMode == kPromptInputPassword) {
      m_line->setEchoMode(QLineEdit::Password);
    }
    if (options.maxLength > 0) {
      m_line->setMaxLength(options.maxLength);
    }
    edit = m_line;
  }
  edit->setObjectName(QtText(u"编辑框1"));
  edit->installEventFilter(this);
  // The answer is typed at once: the edit box comes first and has the focus.
  setTabOrder(edit, m_check1);
  setTabOrder(m_check1, m_check2);
  setTabOrder(m_check2, m_ok);
  setTabOrder(m_ok, m_cancel);
  edit->setFocus();

  m_check1->setVisible(options.check1Visible != 0);
  m_check1->setChecked(options.check1Ticked != 0);
  m_check1->setText(WidgetTextFromCp936(options.check1Caption));
  m_check2->setVisible(options.check2Visible != 0);
  m_check2->setChecked(options.check2Ticked != 0);
  m_check2->setText(WidgetTextFromCp936(options.check2Caption));

  int editTop = kMessageTop;
  if (!IsBlank(options.message)) {
    const int height = options.messageHeight == -1 ? ComputePromptMessageHeight(options.message)
                                                   : options.messageHeight;
    m_message->setText(WidgetTextFromCp936(options.message));
    m_message->setStyleSheet(ColourSheet(options.messageColour));
    m_message->setGeometry(kMessageLeft, kMessageTop, 328, height);
    m_message->show();
    editTop = kMessageTop + height + 10;
  } else {
    m_message->hide();
  }
  edit->setGeometry(kMessageLeft, editTop, 328, options.editHeight);
  const int editBottom = editTop + options.editHeight;
  const int check1Extra = options.check1Visible != 0 ? 22 : 0;
  const int check2Extra = options.check2Visible != 0 ? 22 : 0;
  m_check1->move(m_check1->x(), editBottom + 10);

  int buttonTop = 0;
  if (options.stackCheckBoxes == 1 && options.check2Visible == 1) {
    m_check1->resize(kWideCheckWidth, kCheckHeight);
    m_check2->setGeometry(kMessageLeft, editBottom + check1Extra + 10, kWideCheckWidth,
                          kCheckHeight);
    buttonTop = editBottom + check1Extra + check2Extra + 18;
  } else {
    m_check1->resize(kNarrowCheckWidth, kCheckHeight);
    m_check2->setGeometry(m_check2->x(), m_check1->y(), kNarrowCheckWidth, kCheckHeight);
    buttonTop = editBottom + check1Extra + 18;
  }
  m_ok->move(m_ok->x(), buttonTop);
  m_cancel->move(m_cancel->x(), buttonTop);

  const int dialogHeight = buttonTop + kButtonHeight + 44;
  setFixedSize(kDesignWidth, dialogHeight);
  // Halfway down the screen (of the owner, when there is one), and across it.
  const QWidget* owner = parentWidget();
  const QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - kDesignWidth) / 2,
         area.y() + (area.height() - dialogHeight) / 2);
  }
}

bool PromptDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched == EditBox()) {
    if (m_line != nullptr) {
      m_line->deselect();
      m_line->end(false);
    } else {
      QTextCursor cursor = m_lines->textCursor();
      cursor.movePosition(QTextCursor::End);
      m_lines->setTextCursor(cursor);
    }
  }
  return QDialog::eventFilter(watched, event);
}

void PromptDialog::OnOk() {
  g_promptDialogOptions.check1Result = m_check1->isChecked();
  g_promptDialogOptions.check2Result = m_check2->isChecked();
  g_promptText = Cp936FromWidgetText(EditText());
  g_promptDialogOptions.accepted = true;
  accept();
}

void PromptDialog::OnCancel() {
  g_promptDialogOptions.accepted = false;
  reject();
}
