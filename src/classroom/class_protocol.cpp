// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/class_protocol.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <cmath>
#include <numeric>
#include <utility>

namespace classproto {

namespace {

using Type = Message::Type;

constexpr std::pair<Type, const char*> kTypes[] = {
    {Type::Presence, "presence"}, {Type::Settings, "settings"}, {Type::Problem, "problem"},
    {Type::Reveal, "reveal"},     {Type::Hold, "hold"},         {Type::Resume, "resume"},
    {Type::Abort, "abort"},       {Type::ClockAsk, "clock?"},   {Type::ClockReply, "clock!"},
    {Type::Answer, "answer"},
};
constexpr std::pair<AnswerMode, const char*> kModes[] = {{AnswerMode::Automatic, "automatic"},
                                                         {AnswerMode::Manual, "manual"},
                                                         {AnswerMode::Later, "later"}};

constexpr qint64 kLargestNumber = 99'999'999'999'999;     // 14 digits
constexpr qint64 kLargestAnswer = 9'999'999'999'999'999;  // what the answer field takes

QString typeName(Type t) {
  for (const auto& [type, name] : kTypes)
    if (type == t) return QString::fromLatin1(name);
  return {};
}

QString prefix(const QString& room) { return QStringLiteral("pelatto/%1/").arg(room); }

QJsonValue time(qint64 ns) { return QString::number(ns); }

QJsonObject settingsObject(const DrillSettings& s) {
  QString mode;
  for (const auto& [m, name] : kModes)
    if (m == s.mode) mode = QString::fromLatin1(name);
  return {{"longest", s.longest}, {"shortest", s.shortest},
          {"mix", s.mix},         {"terms", s.terms},
          {"pace", s.pace},       {"extension", s.extension},
          {"run", s.runLength},   {"grouping", s.grouping},
          {"mode", mode},         {"countdown", s.countdownSpeed}};
}

// Reads fields, remembering whether any was missing or out of range.
struct Reader {
  const QJsonObject& o;
  bool ok = true;

  qint64 integer(const char* key, qint64 low, qint64 high) {
    const QJsonValue v = o.value(QLatin1String(key));
    const double d = v.toDouble(std::nan(""));
    if (!v.isDouble() || d != std::floor(d) || d < static_cast<double>(low) ||
        d > static_cast<double>(high)) {
      ok = false;
      return low;
    }
    return v.toInteger();
  }
  int small(const char* key, int low, int high) {
    return static_cast<int>(integer(key, low, high));
  }
  qint64 time(const char* key) {
    bool good = false;
    const qint64 ns = o.value(QLatin1String(key)).toString().toLongLong(&good);
    ok = ok && good;
    return ns;
  }
  bool flag(const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    ok = ok && v.isBool();
    return v.toBool();
  }
  QString text(const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    ok = ok && v.isString();
    return v.toString();
  }
};

std::optional<DrillSettings> readSettings(const QJsonObject& o) {
  Reader r{o};
  DrillSettings s;
  s.longest = r.small("longest", 1, 14);
  s.shortest = r.small("shortest", 1, s.longest);
  s.terms = r.small("terms", 2, 30);
  s.mix = r.small("mix", 0, std::min(10, s.terms));
  s.pace = r.small("pace", 10, 300);
  s.extension = r.small("extension", 0, 9);
  s.runLength = r.small("run", 1, 20);
  s.grouping = r.flag("grouping");
  s.countdownSpeed = r.small("countdown", 1, 3);
  const QString mode = r.text("mode");
  bool known = false;
  for (const auto& [m, name] : kModes)
    if (mode == QLatin1String(name)) s.mode = m, known = true;
  if (!r.ok || !known) return std::nullopt;
  return s;
}

std::optional<QList<QList<qint64>>> readProblems(const QJsonValue& v) {
  const QJsonArray problems = v.toArray();
  if (!v.isArray() || problems.isEmpty() || problems.size() > 20) return std::nullopt;
  QList<QList<qint64>> out;
  for (const QJsonValue& p : problems) {
    const QJsonArray numbers = p.toArray();
    if (!p.isArray() || numbers.isEmpty() || numbers.size() > 30) return std::nullopt;
    QList<qint64> list;
    for (const QJsonValue& n : numbers) {
      const double d = n.toDouble(-1);
      if (!n.isDouble() || d != std::floor(d) || d < 1 || d > static_cast<double>(kLargestNumber))
        return std::nullopt;
      list << n.toInteger();
    }
    out << list;
  }
  return out;
}

// The fields of each type, read into m.
bool readFields(const QJsonObject& o, Message& m) {
  Reader r{o};
  switch (m.type) {
    case Type::Presence:
      m.state = r.text("state");
      if (o.contains(QLatin1String("offset"))) {
        m.offsetNs = r.time("offset");
        m.roundTripNs = r.time("roundTrip");
      }
      return r.ok;
    case Type::Settings: {
      const auto s = readSettings(o.value(QLatin1String("settings")).toObject());
      if (s) m.settings = *s;
      return s.has_value();
    }
    case Type::Problem: {
      m.run = r.integer("run", 1, std::numeric_limits<qint32>::max());
      m.index = r.small("index", 0, 19);
      m.position = r.small("position", 1, 1'000'000);
      m.plan = r.small("plan", 0, 1'000'000);
      m.startNs = r.time("start");
      const auto s = readSettings(o.value(QLatin1String("settings")).toObject());
      const auto problems = readProblems(o.value(QLatin1String("problems")));
      if (!s || !problems || m.index + problems->size() > s->runLength) return false;
      m.settings = *s;
      m.problems = *problems;
      return r.ok;
    }
    case Type::Reveal:
    case Type::Abort:
      m.run = r.integer("run", 1, std::numeric_limits<qint32>::max());
      m.index = r.small("index", 0, 19);
      return r.ok;
    case Type::Hold:
    case Type::Resume:
      m.run = r.integer("run", 1, std::numeric_limits<qint32>::max());
      m.atNs = r.time("at");
      return r.ok;
    case Type::ClockAsk:
      m.t1 = r.time("t1");
      return r.ok;
    case Type::ClockReply:
      m.t1 = r.time("t1");
      m.t2 = r.time("t2");
      m.t3 = r.time("t3");
      return r.ok;
    case Type::Answer:
      m.position = r.small("position", 1, 1'000'000);
      m.final = r.flag("final");
      m.atNs = r.time("at");
      if (!o.value(QLatin1String("typed")).isNull())
        m.typed = r.integer("typed", 0, kLargestAnswer);
      return r.ok;
  }
  return false;
}

// Which types each topic carries, and whether the sender is a learner.
struct Place {
  QList<Type> types;
  QString learner;  // the topic's learner; empty for the teacher's topics
  QStringList states;
};

std::optional<Place> place(const QString& room, const QString& topic) {
  if (!topic.startsWith(prefix(room))) return std::nullopt;
  const QStringList levels = topic.mid(prefix(room).size()).split(QLatin1Char('/'));
  const QString& head = levels.value(0);
  if (levels.size() == 1 && head == QLatin1String("drill"))
    return Place{
        {Type::Settings, Type::Problem, Type::Reveal, Type::Hold, Type::Resume, Type::Abort},
        {},
        {}};
  if (levels.size() == 1 && head == QLatin1String("teacher"))
    return Place{{Type::Presence}, {}, {"open", "closed", "gone"}};
  if (levels.size() == 2 && head == QLatin1String("clock") && validName(levels[1]))
    return Place{{Type::ClockReply}, {}, {}};
  if (levels.size() != 3 || head != QLatin1String("learner") || !validName(levels[1]))
    return std::nullopt;
  const QString& what = levels[2];
  if (what == QLatin1String("presence"))
    return Place{{Type::Presence}, levels[1], {"joined", "ready", "left", "gone"}};
  if (what == QLatin1String("answer")) return Place{{Type::Answer}, levels[1], {}};
  if (what == QLatin1String("clock")) return Place{{Type::ClockAsk}, levels[1], {}};
  return std::nullopt;
}

}  // namespace

bool validName(const QString& name) {
  if (name.isEmpty() || name.size() > kMaxNameLength) return false;
  for (const QChar c : name)
    if (!c.isPrint() || c.isSpace() || c == u'/' || c == u'+' || c == u'#') return false;
  return true;
}

QString drillTopic(const QString& room) { return prefix(room) + QStringLiteral("drill"); }
QString teacherTopic(const QString& room) { return prefix(room) + QStringLiteral("teacher"); }
QString clockTopic(const QString& room, const QString& learner) {
  return prefix(room) + QStringLiteral("clock/") + learner;
}
QString learnerTopic(const QString& room, const QString& learner, const char* what) {
  return prefix(room) + QStringLiteral("learner/%1/%2").arg(learner, QLatin1String(what));
}
QString learnersFilter(const QString& room) { return prefix(room) + QStringLiteral("learner/#"); }
QStringList learnerSubscriptions(const QString& room, const QString& learner) {
  return {drillTopic(room), teacherTopic(room), clockTopic(room, learner)};
}

QByteArray encode(const Message& m) {
  QJsonObject o{{"v", kVersion}, {"type", typeName(m.type)}};
  if (!m.from.isEmpty()) o.insert(QLatin1String("from"), m.from);
  switch (m.type) {
    case Type::Presence:
      o.insert(QLatin1String("state"), m.state);
      if (m.roundTripNs > 0) {
        o.insert(QLatin1String("offset"), time(m.offsetNs));
        o.insert(QLatin1String("roundTrip"), time(m.roundTripNs));
      }
      break;
    case Type::Settings:
      o.insert(QLatin1String("settings"), settingsObject(m.settings));
      break;
    case Type::Problem: {
      QJsonArray problems;
      for (const QList<qint64>& p : m.problems) {
        QJsonArray numbers;
        for (qint64 n : p) numbers.append(n);
        problems.append(numbers);
      }
      o.insert(QLatin1String("run"), m.run);
      o.insert(QLatin1String("index"), m.index);
      o.insert(QLatin1String("position"), m.position);
      o.insert(QLatin1String("plan"), m.plan);
      o.insert(QLatin1String("start"), time(m.startNs));
      o.insert(QLatin1String("settings"), settingsObject(m.settings));
      o.insert(QLatin1String("problems"), problems);
      break;
    }
    case Type::Reveal:
    case Type::Abort:
      o.insert(QLatin1String("run"), m.run);
      o.insert(QLatin1String("index"), m.index);
      break;
    case Type::Hold:
    case Type::Resume:
      o.insert(QLatin1String("run"), m.run);
      o.insert(QLatin1String("at"), time(m.atNs));
      break;
    case Type::ClockAsk:
      o.insert(QLatin1String("t1"), time(m.t1));
      break;
    case Type::ClockReply:
      o.insert(QLatin1String("t1"), time(m.t1));
      o.insert(QLatin1String("t2"), time(m.t2));
      o.insert(QLatin1String("t3"), time(m.t3));
      break;
    case Type::Answer:
      o.insert(QLatin1String("position"), m.position);
      o.insert(QLatin1String("final"), m.final);
      o.insert(QLatin1String("at"), time(m.atNs));
      o.insert(QLatin1String("typed"), m.typed ? QJsonValue(*m.typed) : QJsonValue());
      break;
  }
  return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

Decoded decode(const QString& room, const QString& topic, const QByteArray& payload) {
  if (payload.size() > kMaxBytes) return {std::nullopt, Drop::Oversized};
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(payload, &error);
  const std::optional<Place> where = place(room, topic);
  if (error.error != QJsonParseError::NoError || !doc.isObject() || !where)
    return {std::nullopt, Drop::Malformed};
  const QJsonObject o = doc.object();
  if (o.value(QLatin1String("v")).toInt(-1) != kVersion)
    return {std::nullopt, Drop::UnknownVersion};

  Message m;
  const QString type = o.value(QLatin1String("type")).toString();
  bool known = false;
  for (const auto& [t, name] : kTypes)
    if (type == QLatin1String(name)) m.type = t, known = true;
  m.from = o.value(QLatin1String("from")).toString();
  if (!known || !readFields(o, m)) return {std::nullopt, Drop::Malformed};
  // A learner speaks only in its own name and never as the teacher.
  if (!where->types.contains(m.type) || m.from != where->learner)
    return {std::nullopt,
            where->learner.isEmpty() && m.from.isEmpty() ? Drop::Malformed : Drop::Impersonating};
  if (m.type == Type::Presence && !where->states.contains(m.state))
    return {std::nullopt, Drop::Malformed};
  return {m, Drop::None};
}

int DropCounts::total() const { return std::accumulate(byKind.begin() + 1, byKind.end(), 0); }

}  // namespace classproto
