// SPDX-License-Identifier: GPL-3.0-or-later
#include "history/problem_record.h"

#include <QStringList>
#include <array>
#include <utility>

namespace {

// Each stored name beside its value; the first row is what an unknown name reads as.
template <class E, std::size_t N = 3>
using Names = std::array<std::pair<E, const char*>, N>;

constexpr Names<AnswerMode> kModes{{{AnswerMode::Automatic, "automatic"},
                                    {AnswerMode::Manual, "manual"},
                                    {AnswerMode::Later, "later"}}};
constexpr Names<RecordContext::Kind, 4> kKinds{{{RecordContext::Kind::Practice, "practice"},
                                                {RecordContext::Kind::Replay, "replay"},
                                                {RecordContext::Kind::Test, "test"},
                                                {RecordContext::Kind::Class, "class"}}};

template <class E, std::size_t N>
QString nameOf(const Names<E, N>& names, E value) {
  for (const auto& [v, name] : names)
    if (v == value) return QString::fromLatin1(name);
  return QString::fromLatin1(names.front().second);
}

template <class E, std::size_t N>
E valueOf(const Names<E, N>& names, const QString& name) {
  for (const auto& [v, n] : names)
    if (name == QLatin1String(n)) return v;
  return names.front().first;
}

}  // namespace

QString modeName(AnswerMode mode) { return nameOf(kModes, mode); }
AnswerMode modeFromName(const QString& name) { return valueOf(kModes, name); }
QString kindName(RecordContext::Kind kind) { return nameOf(kKinds, kind); }
RecordContext::Kind kindFromName(const QString& name) { return valueOf(kKinds, name); }

QString numbersText(const QList<qint64>& numbers) {
  QStringList parts;
  for (qint64 n : numbers) parts << QString::number(n);
  return parts.join(QLatin1Char(' '));
}

QList<qint64> numbersFromText(const QString& text) {
  QList<qint64> out;
  for (const QString& part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
    out << part.toLongLong();
  return out;
}
