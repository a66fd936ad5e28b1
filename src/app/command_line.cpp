// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QStringDecoder>

#include "host/shortcuts.h"

namespace {

QString helpText(const QCommandLineParser& parser) {
  // Parsed without an application object, the parser does not know the program's name.
  QString text =
      parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("pelatto"));
  text += QStringLiteral("\nKeys in the window, also listed in its context menu:\n");
  for (const ShortcutInfo& s : shortcutList())
    text += QStringLiteral("  %1  %2\n").arg(s.key.leftJustified(11), s.english);
  return text;
}

// The argument that named an unknown option, with its dashes, without a value.
QString asTyped(const QStringList& arguments, const QString& name) {
  for (qsizetype k = 1; k < arguments.size() && arguments[k] != QLatin1String("--"); ++k) {
    QString a = arguments[k].section(QLatin1Char('='), 0, 0);
    if (!a.startsWith(QLatin1Char('-'))) continue;
    if (QString(a).remove(QRegularExpression(QStringLiteral("^--?"))) == name) return a;
  }
  return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

}  // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
  QCommandLineParser parser;
  // "-bogus" is one option named as typed, not the letters b, o, g, u, s.
  parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
  parser.setApplicationDescription(
      QStringLiteral("Pelatto: a trainer for flash mental arithmetic (フラッシュ暗算)."));
  const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                QStringLiteral("Shows this help and exits."));
  const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                   QStringLiteral("Shows the version and exits."));
  const QCommandLineOption defaults(
      QStringLiteral("defaults"),
      QStringLiteral("Starts with the built-in settings; the remembered ones stay untouched."));
  const QCommandLineOption screen(
      QStringLiteral("screen"),
      QStringLiteral("Opens the window on screen N (1 is the first); remembered."),
      QStringLiteral("N"));
  const QCommandLineOption exportHistory(
      QStringLiteral("export-history"),
      QStringLiteral("Writes the drill history to FILE as CSV (- for standard output)."),
      QStringLiteral("FILE"));
  const QCommandLineOption partial(
      QStringLiteral("partial"),
      QStringLiteral("With --export-history: writes what a damaged history still holds."));
  const QCommandLineOption grade(QStringLiteral("grade"),
                                 QStringLiteral("Starts the grade test NAME."),
                                 QStringLiteral("NAME"));
  parser.addOptions({help, version, defaults, screen, exportHistory, partial, grade});
  const auto valued = [](const char* name, const char* text, const char* value) {
    return QCommandLineOption(QLatin1String(name), QString::fromUtf8(text), QLatin1String(value));
  };
  const QCommandLineOption teach = valued(
      "teach", "Opens the class ROOM on this window and prints its address and password.", "ROOM");
  const QCommandLineOption broker =
      valued("broker",
             "With --teach: a school's broker (mqtt:// or mqtts://) instead of one of "
             "the program's own.",
             "URL");
  const QCommandLineOption join =
      valued("join", "Joins the class at URL (with --room, --name).", "URL");
  const QCommandLineOption room = valued("room", "The class's room, with --join.", "ROOM");
  const QCommandLineOption name = valued("name", "The learner's name in the class.", "NAME");
  const QCommandLineOption password = valued("password", "The room's password.", "P");
  parser.addOptions({teach, broker, join, room, name, password});

  CommandLine out;
  const auto fail = [&](const QString& why) {
    out.exitCode = 2;
    out.error = QStringLiteral("pelatto: %1\nTry 'pelatto --help' for the options.\n").arg(why);
    return out;
  };
  // Every option is checked before --help or --version is acted on: a
  // mistake is never answered with success.
  if (!parser.parse(arguments)) {
    if (!parser.unknownOptionNames().isEmpty())
      return fail(QStringLiteral("unknown option '%1'.")
                      .arg(asTyped(arguments, parser.unknownOptionNames().constFirst())));
    return fail(parser.errorText());
  }
  if (!parser.positionalArguments().isEmpty())
    return fail(QStringLiteral("unexpected argument '%1'.").arg(parser.positionalArguments()[0]));
  out.defaults = parser.isSet(defaults);
  if (parser.isSet(screen)) {
    bool ok = false;
    out.screen = parser.value(screen).toInt(&ok);
    if (!ok || out.screen < 1 || out.screen > 99)
      return fail(QStringLiteral("--screen needs a screen number from 1, not '%1'.")
                      .arg(parser.value(screen)));
  }
  ClassOptions& c = out.classroom;
  for (const auto& [option, field] :
       {std::pair{&exportHistory, &out.exportHistory}, std::pair{&grade, &out.grade},
        std::pair{&teach, &c.teach}, std::pair{&broker, &c.broker}, std::pair{&join, &c.join},
        std::pair{&room, &c.room}, std::pair{&name, &c.name}}) {
    if (!parser.isSet(*option)) continue;
    *field = parser.value(*option);
    if (field->isEmpty())
      return fail(QStringLiteral("--%1 needs a value.").arg(option->names().constFirst()));
  }
  c.password = parser.value(password);
  if (!c.teach.isEmpty() && !c.join.isEmpty())
    return fail(QStringLiteral("--teach and --join do not go together."));
  if (!c.join.isEmpty() && (c.room.isEmpty() || c.name.isEmpty()))
    return fail(QStringLiteral("--join needs --room and --name."));
  if (!c.broker.isEmpty() && c.teach.isEmpty())
    return fail(QStringLiteral("--broker goes with --teach."));
  out.partial = parser.isSet(partial);
  if (out.partial && out.exportHistory.isEmpty())
    return fail(QStringLiteral("--partial goes with --export-history."));
  if (parser.isSet(help)) {
    out.exitCode = 0;
    out.output = helpText(parser);
  } else if (parser.isSet(version)) {
    out.exitCode = 0;
    out.output = QStringLiteral("pelatto %1\n").arg(QStringLiteral(PELATTO_VERSION));
  }
  return out;
}

CommandLine parseCommandLine(int argc, const char* const* argv) {
  QStringList arguments;
  for (int k = 0; k < argc; ++k) {
    const QByteArray raw(argv[k]);
    QStringDecoder utf8(QStringDecoder::Utf8);
    arguments << utf8.decode(raw);
    // A name is used exactly as given or not at all, never under a look-alike.
    if (utf8.hasError()) {
      CommandLine out;
      out.exitCode = 2;
      out.error =
          QStringLiteral("pelatto: the argument '%1' is not valid UTF-8; give names in UTF-8.\n")
              .arg(arguments.last());
      return out;
    }
  }
  return parseCommandLine(arguments);
}
