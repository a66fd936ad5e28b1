// SPDX-License-Identifier: GPL-3.0-or-later
// One member of a class, teacher or learner, as its own process: the
// program as main() builds it (window, features, class from the command
// line), on the precise clock, with a line protocol around it for the class
// tests and the classroom benchmark.
//
//   class_member [--data DIR] [--type right|wrong|none] -- PELATTO-OPTIONS
//
// Standard output, one line each:
//   J <join line>                          the teacher's class is open
//   E <kind> <index> <value> <timeNs>      a drill event, on this process's clock
//   T <deadlineNs> <shownNs>               a number or blank reached the screen
//   B <learners> <ready> <answers> <dropped> <final answers>
//   A <learner> <position> <answer> <mark> <answer to board, µs>   (after "answers")
//   C <1 or 0>                             the board's CSV was written
//   L left                                 a learner was told the class closed
//   O <offsetNs> <roundTripNs>             a learner's clock estimate as its run starts
// Standard input, one command a line: start, answer, csv FILE, answers, quit, and settings
// KEY=VALUE... with the keys and values of the settings file (longest=3 shortest=3 terms=10 pace=10
// runLength=10 answerMode=later).

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <set>

#include "app/command_line.h"
#include "app/features.h"
#include "classroom/board_window.h"
#include "classroom/classroom.h"
#include "classroom/learner_class.h"
#include "classroom/teacher_class.h"
#include "platform/application.h"
#include "platform/precise_clock.h"
#include "settings/remembered_values.h"
#include "shell/frm_pelatto.h"
#include "shell/window_port.h"

namespace {

// Standard output, each line flushed as it ends (Qt::endl).
QTextStream out(stdout);

// Reports every event, remembers when numbers and blanks are due, and types
// the learner's answer on the window's keys as soon as a series ends.
struct Reporter : DrillListener {
  DrillPort& port;
  QString typing;
  std::set<std::int64_t> due;
  std::function<void()> started;  // after each start's line
  Reporter(DrillPort& p, QString t) : port(p), typing(std::move(t)) {}

  void onDrillEvent(const DrillEvent& e) override {
    using K = DrillEvent::Kind;
    static const QStringList kinds =
        QStringLiteral(
            "Started CountdownEnded NumberShown Blanked SeriesEnded AnswerWaitEnded AnswerRevealed "
            "ColumnsShown NextProblem RunEnded Held Resumed Aborted SettingsChanged Closed")
            .split(' ');
    if (e.kind == K::SettingsChanged) return;
    if (e.kind == K::NumberShown || e.kind == K::Blanked) due.insert(e.timeNs);
    out << "E " << kinds[static_cast<int>(e.kind)] << ' ' << e.index << ' '
        << static_cast<qint64>(e.value) << ' ' << e.timeNs << Qt::endl;
    if (e.kind == K::Started && started) started();
    if (e.kind != K::SeriesEnded || typing == QLatin1String("none")) return;
    const QString answer = QString::number(qint64(e.value) + (typing == QLatin1String("wrong")));
    // After this handler: a key typed inside it would reach the field before
    // the sheet hears the end.
    QTimer::singleShot(0, [this, answer] {
      for (const QChar c : answer + QLatin1Char('\r')) {
        QKeyEvent key(QEvent::KeyPress, c.isDigit() ? Qt::Key_0 + c.digitValue() : Qt::Key_Return,
                      Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(port.widget(), &key);
      }
    });
  }
};

}  // namespace

int main(int argc, char** argv) {
  QStringList args;
  for (int k = 0; k < argc; ++k) args << QString::fromLocal8Bit(argv[k]);
  const qsizetype split = args.indexOf("--");  // this program's options come before it
  const auto option = [&](const char* name, const QString& otherwise) {
    const qsizetype k = args.indexOf(name);
    return k > 0 && k + 1 < split ? args[k + 1] : otherwise;
  };
  const QString data = option("--data", {}), typing = option("--type", "none");
  const CommandLine command = parseCommandLine(QStringList{"pelatto"} + args.mid(split + 1));
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
  if (!data.isEmpty() && QDir().mkpath(data)) options.historyPath = data + "/history.sqlite";
  Features features(port, options);
  Reporter reporter(port, typing);
  port.subscribe(&reporter);
  clock.onTrace = [&](const pf::TickTrace& t) {
    if (reporter.due.erase(t.deadline)) out << "T " << t.deadline << ' ' << t.flushed << Qt::endl;
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
  if (TeacherClass* t = classroom.teacher()) {
    out << "J " << t->joinLine() << Qt::endl;
    QObject::connect(&boardSoon, &QTimer::timeout, [t] {
      int ready = 0, finals = 0;
      for (const ClassBoard::Learner& l : t->board().learners()) {
        ready += l.state == ClassBoard::State::Ready;
        for (const ClassBoard::Answer& a : l.answers) finals += a.final;
      }
      out << "B " << t->board().learners().size() << ' ' << ready << ' '
          << t->board().answersReceived() << ' ' << t->dropped().total() << ' ' << finals
          << Qt::endl;
    });
    QObject::connect(t, &TeacherClass::changed, &boardSoon, [&boardSoon] {
      if (!boardSoon.isActive()) boardSoon.start(20);
    });
  }
  if (LearnerClass* l = classroom.learner()) {
    QObject::connect(l, &LearnerClass::left, [] { out << "L left" << Qt::endl; });
    reporter.started = [l] {
      out << "O " << l->clock().offsetNs().value_or(0) << ' ' << l->clock().roundTripNs()
          << Qt::endl;
    };
  }

  const auto run = [&](const QStringList& words) {
    const QString what = words.value(0);
    if (what == QLatin1String("start")) port.pressStart();
    if (what == QLatin1String("answer")) port.pressAnswer();
    if (what == QLatin1String("settings")) {
      QVariantMap stored;
      for (const QString& pair : words.mid(1))
        stored.insert(pair.section(QLatin1Char('='), 0, 0), pair.section(QLatin1Char('='), 1));
      port.applySettings(readValues(stored).values.panel);
    }
    if (what == QLatin1String("csv") && classroom.board())
      out << "C " << (classroom.board()->exportCsv(words.value(1)) ? 1 : 0) << Qt::endl;
    if (what == QLatin1String("answers") && classroom.teacher()) {
      const ClassBoard& b = classroom.teacher()->board();
      for (const ClassBoard::Learner& l : b.learners())
        for (auto a = l.answers.cbegin(); a != l.answers.cend(); ++a)
          out << "A " << l.name << ' ' << a.key() << ' '
              << (a->typed ? QString::number(*a->typed) : QStringLiteral("-")) << ' '
              << static_cast<int>(b.mark(l, a.key()).value_or(ClassBoard::Mark::Pending)) << ' '
              << a->latencyNs / 1000 << Qt::endl;
      out << "A end" << Qt::endl;
    }
    if (what == QLatin1String("quit")) QCoreApplication::quit();
  };
  QSocketNotifier input(0, QSocketNotifier::Read);
  QByteArray pending;
  QObject::connect(&input, &QSocketNotifier::activated, [&] {
    char buffer[4096];
    const ssize_t n = ::read(0, buffer, sizeof buffer);
    if (n <= 0) return input.setEnabled(false);  // no more commands; the class goes on
    pending.append(buffer, n);
    for (qsizetype end; (end = pending.indexOf('\n')) >= 0; pending.remove(0, end + 1))
      run(QString::fromUtf8(pending.left(end)).split(QLatin1Char(' '), Qt::SkipEmptyParts));
  });
  const int code = app.exec();
  port.unsubscribe(&reporter);
  return code;
}
