// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <optional>

#include "engine/drill_events.h"

// What a class says over the broker. Every message is a small JSON object
// with the protocol's version, its type and who sends it; times are the
// sender's monotonic nanoseconds (as strings, beyond a double's precision).
// Topics, all under pelatto/ROOM/:
//   drill                  teacher: settings (retained), problems, reveal, hold, abort, close
//   teacher                teacher: its presence (retained; the broker sets it "gone" as its will)
//   clock/NAME             teacher: answers to that learner's clock questions
//   learner/NAME/presence  learner NAME: joined, ready, left (retained; will "gone")
//   learner/NAME/answer    learner NAME: its answers (QoS 1)
//   learner/NAME/clock     learner NAME: clock questions
// A message is read only from the topic its type belongs to, and a learner's
// message must carry the name of its topic.
namespace classproto {

constexpr int kVersion = 1;
constexpr qsizetype kMaxBytes = 16 * 1024;
constexpr int kMaxNameLength = 32;

// A room or learner name fits in one topic level: 1 to 32 characters,
// printable, no blank and none of / + # that MQTT gives a meaning.
bool validName(const QString& name);

QString drillTopic(const QString& room);
QString teacherTopic(const QString& room);
QString clockTopic(const QString& room, const QString& learner);
QString learnerTopic(const QString& room, const QString& learner, const char* what);
// What the teacher and a learner subscribe to.
QString learnersFilter(const QString& room);
QStringList learnerSubscriptions(const QString& room, const QString& learner);

struct Message {
  enum class Type {
    Presence,    // state: teacher open/closed/gone; learner joined/ready/left/gone
    Settings,    // settings
    Problem,     // run, index, position, startNs, plan, settings, problems
    Reveal,      // run, index: the teacher's screen shows the total (or the run's columns)
    Hold,        // run, atNs
    Resume,      // run, atNs
    Abort,       // run
    ClockAsk,    // t1
    ClockReply,  // t1, t2, t3
    Answer,      // position, typed, final, atNs (teacher's time)
  };
  Type type = Type::Presence;
  QString from{};  // a learner's name; empty for the teacher
  QString state{};
  DrillSettings settings{};
  qint64 run = 0;
  int index = 0;     // problem in the run, from 0
  int position = 0;  // problem in the class, from 1
  int plan = 0;      // changes when the teacher makes the rest of the run again
  qint64 startNs = 0, atNs = 0;
  QList<QList<qint64>> problems{};  // the numbers of problems index, index + 1, ...
  qint64 t1 = 0, t2 = 0, t3 = 0;
  std::optional<qint64> typed{};
  bool final = false;  // the answer as marked at the reveal, not one typed along the way
  qint64 offsetNs = 0, roundTripNs = 0;  // a ready learner's clock estimate, for the board

  bool operator==(const Message&) const = default;
};

QByteArray encode(const Message& m);

// Why a message was dropped.
enum class Drop { None, Oversized, Malformed, UnknownVersion, Impersonating };
struct Decoded {
  std::optional<Message> message;
  Drop drop = Drop::None;
};
// Reads a message that arrived on `topic` in `room`; anything that is not a
// well-formed message of this version, of a type that belongs on that topic,
// with every field in range, is dropped and says why.
Decoded decode(const QString& room, const QString& topic, const QByteArray& payload);

struct DropCounts {
  std::array<int, 5> byKind{};
  void count(Drop d) { ++byKind[static_cast<std::size_t>(d)]; }
  int of(Drop d) const { return byKind[static_cast<std::size_t>(d)]; }
  int total() const;
};

}  // namespace classproto
