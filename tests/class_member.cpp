// SPDX-License-Identifier: GPL-3.0-or-later
// One member of a class, teacher or learner, as its own process: the
// program as main() builds it (window, features, class from the command
// line), on the precise clock, with a line protocol around it for the class
// tests and the classroom benchmark.
//
//   class_member [--data DIR] [--type right|wrong|none] [--quiet-trace] -- PELATTO-OPTIONS
//
// Standard output, one line each:
//   J <join line>                          the teacher's class is open
//   E <kind> <index> <value> <timeNs>      a drill event, on this process's clock
//   T <deadlineNs> <shownNs>               a number or blank reached the screen
//   B <learners> <ready> <answers> <dropped> <final answers>
//   A <learner> <position> <answer> <mark> <answer to board, µs>   (after "answers")
//   C <1 or 0>                             the board's CSV was written
//   L <state>                              a learner's class state (ready, left)
//   O <offsetNs> <roundTripNs>             a learner's clock estimate as its run starts
// Standard input, one command a line: start, answer, abort, hold,
// settings KEY=VALUE..., csv FILE, answers, quit.

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <set>

#include "app/command_line.h"
#include "app/features.h"
#include "classroom/board_window.h"
#include "classroom/class_board.h"
#include "classroom/classroom.h"
#include "classroom/learner_class.h"
#include "classroom/teacher_class.h"
#include "host/drill_port.h"
#include "platform/application.h"
#include "platform/environment.h"
#include "platform/precise_clock.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"

namespace {

void say(const QString& line) {
  std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
  std::fflush(stdout);
}

const char* kindName(DrillEvent::Kind k) {
  static const char* const names[] = {
      "Started",     "CountdownEnded",  "NumberShown",    "Blanked",
      "SeriesEnded", "AnswerWaitEnded", "AnswerRevealed", "ColumnsShown",
      "NextProblem", "RunEnded",        "Held",           "Resumed",
      "Aborted",     "SettingsChanged", "Closed"};
  return names[static_cast<int>(k)];
}

// Reports every event, remembers when numbers and blanks are due, and types
// the learner's answer as soon as a series ends.
class Reporter : public DrillListener {
 public:
  Reporter(DrillPort& port, QString typing) : port_(port), typing_(std::move(typing)) {}
  std::set<std::int64_t> due;
  std::function<void()> started;  // after each start's line

  void onDrillEvent(const DrillEvent& e) override {
    using K = DrillEvent::Kind;
    if (e.kind == K::SettingsChanged) return;
    if (e.kind == K::NumberShown || e.kind == K::Blanked) due.insert(e.timeNs);
    say(QStringLiteral("E %1 %2 %3 %4")
            .arg(QLatin1String(kindName(e.kind)))
            .arg(e.index)
            .arg(static_cast<qint64>(e.value))
            .arg(e.timeNs));
    if (e.kind == K::Started && started) started();
    if (e.kind == K::SeriesEnded && typing_ != QLatin1String("none")) {
      const qint64 answer = static_cast<qint64>(e.value) + (typing_ == QLatin1String("wrong"));
      // After this handler: a key typed inside it would reach the field before the sheet hears the
      // end.
      QTimer::singleShot(0, [this, answer] { type(answer); });
    }
  }

  void type(qint64 answer) {
    QWidget* w = port_.widget();
    const auto key = [w](int k, const QString& text) {
      QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
      QCoreApplication::sendEvent(w, &press);
    };
    for (const QChar c : QString::number(answer)) key(Qt::Key_0 + c.digitValue(), QString(c));
    key(Qt::Key_Return, QStringLiteral("\r"));
  }

 private:
  DrillPort& port_;
  QString typing_;
};

DrillSettings withValues(DrillSettings s, const QStringList& pairs) {
  for (const QString& pair : pairs) {
    const QString key = pair.section(QLatin1Char('='), 0, 0);
    const QString value = pair.section(QLatin1Char('='), 1);
    const int n = value.toInt();
    if (key == QLatin1String("digits")) s.longest = s.shortest = n;
    if (key == QLatin1String("terms")) s.terms = n;
    if (key == QLatin1String("pace")) s.pace = n;
    if (key == QLatin1String("run")) s.runLength = n;
    if (key == QLatin1String("countdown")) s.countdownSpeed = n;
    if (key == QLatin1String("mode"))
      s.mode = value == QLatin1String("manual")  ? AnswerMode::Manual
               : value == QLatin1String("later") ? AnswerMode::Later
                                                 : AnswerMode::Automatic;
  }
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  QString data, typing = QStringLiteral("none");
  QStringList pelatto{QStringLiteral("pelatto")};
  bool rest = false;
  for (int k = 1; k < argc; ++k) {
    const QString a = QString::fromLocal8Bit(argv[k]);
    if (rest)
      pelatto << a;
    else if (a == QLatin1String("--"))
      rest = true;
    else if (a == QLatin1String("--data") && k + 1 < argc)
      data = QString::fromLocal8Bit(argv[++k]);
    else if (a == QLatin1String("--type") && k + 1 < argc)
      typing = QString::fromLocal8Bit(argv[++k]);
  }
  const CommandLine command = parseCommandLine(pelatto);
  if (command.exitCode >= 0) {
    std::fputs(qPrintable(command.error), stderr);
    return command.exitCode;
  }
  pf::Application app(argc, argv);
  pf::PreciseClock clock;
  const pf::Environment env{.clock = clock};
  frmPelatto window(env);
  WindowPort port(window);
  StartOptions options;
  options.defaults = true;
  if (!data.isEmpty()) {
    QDir().mkpath(data);
    options.settingsPath = QDir(data).filePath(QStringLiteral("pelatto.conf"));
    options.historyPath = QDir(data).filePath(QStringLiteral("history.sqlite"));
  }
  Features features(port, options);
  Reporter reporter(port, typing);
  port.subscribe(&reporter);
  clock.onTrace = [&](const pf::TickTrace& t) {
    if (reporter.due.erase(t.deadline))
      say(QStringLiteral("T %1 %2").arg(t.deadline).arg(t.flushed));
  };
  window.Show();
  features.windowLoaded();

  Classroom& classroom = features.classroom();
  QString why;
  if (command.classroom.any() && !classroom.start(command.classroom, &why)) {
    std::fprintf(stderr, "class_member: %s\n", qPrintable(why));
    return 1;
  }
  // The board, told a moment after it changes.
  QTimer boardSoon;
  boardSoon.setSingleShot(true);
  boardSoon.setInterval(20);
  if (TeacherClass* t = classroom.teacher()) {
    say(QStringLiteral("J ") + t->joinLine());
    QObject::connect(&boardSoon, &QTimer::timeout, [t] {
      const ClassBoard& b = t->board();
      int ready = 0, finals = 0;
      for (const ClassBoard::Learner& l : b.learners()) {
        ready += l.state == ClassBoard::State::Ready;
        for (const ClassBoard::Answer& a : l.answers) finals += a.final;
      }
      say(QStringLiteral("B %1 %2 %3 %4 %5")
              .arg(b.learners().size())
              .arg(ready)
              .arg(b.answersReceived())
              .arg(t->dropped().total())
              .arg(finals));
    });
    QObject::connect(t, &TeacherClass::changed, &boardSoon, [&boardSoon] {
      if (!boardSoon.isActive()) boardSoon.start();
    });
  }
  if (LearnerClass* l = classroom.learner()) {
    QObject::connect(l, &LearnerClass::changed, [l] {
      if (l->state() == LearnerClass::State::Ready)
        say(QStringLiteral("L ready %1 %2")
                .arg(l->clock().offsetNs().value_or(0))
                .arg(l->clock().roundTripNs()));
    });
    QObject::connect(l, &LearnerClass::left, [] { say(QStringLiteral("L left")); });
    reporter.started = [l] {
      say(QStringLiteral("O %1 %2")
              .arg(l->clock().offsetNs().value_or(0))
              .arg(l->clock().roundTripNs()));
    };
  }

  QSocketNotifier input(0, QSocketNotifier::Read);
  QByteArray pending;
  const auto run = [&](const QStringList& words) {
    const QString what = words.value(0);
    if (what == QLatin1String("start")) port.pressStart();
    if (what == QLatin1String("answer")) port.pressAnswer();
    if (what == QLatin1String("abort")) port.pressAbort();
    if (what == QLatin1String("hold")) port.pressHold();
    if (what == QLatin1String("settings"))
      port.applySettings(withValues(port.settings(), words.mid(1)));
    if (what == QLatin1String("csv") && classroom.board())
      say(QStringLiteral("C %1").arg(classroom.board()->exportCsv(words.value(1)) ? 1 : 0));
    if (what == QLatin1String("answers") && classroom.teacher()) {
      const ClassBoard& b = classroom.teacher()->board();
      for (const ClassBoard::Learner& l : b.learners())
        for (auto a = l.answers.cbegin(); a != l.answers.cend(); ++a)
          say(QStringLiteral("A %1 %2 %3 %4 %5")
                  .arg(l.name)
                  .arg(a.key())
                  .arg(a->typed ? QString::number(*a->typed) : QStringLiteral("-"))
                  .arg(static_cast<int>(b.mark(l, a.key()).value_or(ClassBoard::Mark::Pending)))
                  .arg(a->latencyNs / 1000));
      say(QStringLiteral("A end"));
    }
    if (what == QLatin1String("quit")) QCoreApplication::quit();
  };
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[4096];
    const ssize_t n = ::read(0, buffer, sizeof buffer);
    if (n <= 0) {
      input.setEnabled(false);  // no more commands; the class goes on
      return;
    }
    pending.append(buffer, n);
    for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
      run(QString::fromUtf8(pending.left(end)).split(QLatin1Char(' '), Qt::SkipEmptyParts));
  });
  const int code = app.exec();
  port.unsubscribe(&reporter);
  return code;
}
