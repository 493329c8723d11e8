#include "platform/qt/desktop_opener.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <memory>

namespace {

// Long enough for an opener that finds no browser to have tried them all
// (about a second on an idle machine), short enough for a user who waits.
constexpr int kVerdictWaitMs = 5000;

std::optional<QString> s_testProgram;
int s_waitMs = kVerdictWaitMs;

QString OpenerProgram() {
  if (s_testProgram)
    return *s_testProgram;
  return QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
}

// What the opener is given: a file as its path, anything else as its address
// with every character outside ASCII percent-encoded.
QString OpenerArgument(const QUrl& url) {
  return url.isLocalFile() ? url.toLocalFile() : QString::fromLatin1(url.toEncoded());
}

}  // namespace

bool OpenUrlOnDesktop(const QUrl& url) {
  const QString program = OpenerProgram();
  if (program.isEmpty())
    return QDesktopServices::openUrl(url);
  // Lives until the opener ends, however long after this call that is; an
  // opener still running when the application object goes goes with it.
  auto* opener = new QProcess(QCoreApplication::instance());
  opener->setProgram(program);
  opener->setArguments({OpenerArgument(url)});
  opener->setStandardInputFile(QProcess::nullDevice());
  opener->setStandardOutputFile(QProcess::nullDevice());
  opener->setStandardErrorFile(QProcess::nullDevice());
  enum class Verdict { Waiting, Opened, Failed };
  auto verdict = std::make_shared<Verdict>(Verdict::Waiting);
  QEventLoop wait;
  QObject::connect(opener, &QProcess::finished, opener,
                   [opener, verdict](int exitCode, QProcess::ExitStatus status) {
                     if (*verdict == Verdict::Waiting) {
                       *verdict = status == QProcess::NormalExit && exitCode == 0 ? Verdict::Opened
                                                                                  : Verdict::Failed;
                     }
                     opener->deleteLater();
                   });
  QObject::connect(opener, &QProcess::errorOccurred, opener,
                   [opener, verdict](QProcess::ProcessError error) {
                     if (error != QProcess::FailedToStart)
                       return;  // a crash or a lost pipe ends in finished
                     if (*verdict == Verdict::Waiting)
                       *verdict = Verdict::Failed;
                     opener->deleteLater();
                   });
  QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
  QObject::connect(opener, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &wait, &QEventLoop::quit);
  opener->start();
  if (*verdict == Verdict::Waiting) {
    deadline.start(s_waitMs);
    wait.exec();
  }
  // Still running: the opener waits for the browser it started.
  return *verdict != Verdict::Failed;
}

void SetDesktopOpenerForTesting(std::optional<QString> program, int waitMs) {
  s_testProgram = std::move(program);
  s_waitMs = waitMs < 0 ? kVerdictWaitMs : waitMs;
}
