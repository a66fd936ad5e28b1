// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/class_board.h"

#include <QStringList>
#include <algorithm>

namespace {

QString csvField(const QString& s) {
  if (!s.contains(QLatin1Char(',')) && !s.contains(QLatin1Char('"'))) return s;
  return QLatin1Char('"') + QString(s).replace(QLatin1String("\""), QLatin1String("\"\"")) +
         QLatin1Char('"');
}

}  // namespace

void ClassBoard::presence(const QString& name, State state, qint64 offsetNs, qint64 roundTripNs) {
  Learner& l = at(name);
  l.state = state;
  if (state == State::Ready) l.offsetNs = offsetNs, l.roundTripNs = roundTripNs;
  notify();
}

void ClassBoard::problemStarted(int position, const QList<qint64>& numbers) {
  problem(position).numbers = numbers;
  notify();
}

void ClassBoard::problemTotal(int position, qint64 total) {
  problem(position).total = total;
  notify();
}

void ClassBoard::revealed(int position) {
  problem(position).revealed = true;
  notify();
}

void ClassBoard::answer(const QString& name, int position, std::optional<qint64> typed, bool final,
                        qint64 latencyNs) {
  Answer& a = at(name).answers[position];
  // A late copy of an answer typed along the way never undoes the marked one.
  if (a.final && !final) return;
  a.typed = typed;
  a.final = final;
  if (latencyNs >= 0 && a.latencyNs < 0) a.latencyNs = latencyNs;
  notify();
}

const ClassBoard::Learner* ClassBoard::learner(const QString& name) const {
  for (const Learner& l : learners_)
    if (l.name == name) return &l;
  return nullptr;
}

std::optional<ClassBoard::Mark> ClassBoard::mark(const Learner& l, int position) const {
  const auto a = l.answers.constFind(position);
  if (a == l.answers.cend()) return std::nullopt;
  const Problem* p = findProblem(position);
  if (!p || !p->revealed || !p->total) return Mark::Pending;
  if (!a->typed) return Mark::Unanswered;
  return *a->typed == *p->total ? Mark::Correct : Mark::Wrong;
}

ClassBoard::Tally ClassBoard::tally(int position) const {
  Tally t;
  for (const Learner& l : learners_) switch (mark(l, position).value_or(Mark::Pending)) {
      case Mark::Correct:
        ++t.correct;
        break;
      case Mark::Wrong:
        ++t.wrong;
        break;
      case Mark::Unanswered:
        ++t.unanswered;
        break;
      case Mark::Pending:
        break;
    }
  return t;
}

QList<ClassBoard::Rank> ClassBoard::ranking() const {
  QList<Rank> out;
  for (const Learner& l : learners_) {
    Rank r{l.name, 0, 0, 0};
    for (auto a = l.answers.cbegin(); a != l.answers.cend(); ++a) {
      r.answered += a->typed.has_value();
      r.correct += mark(l, a.key()) == Mark::Correct;
    }
    out << r;
  }
  std::stable_sort(out.begin(), out.end(),
                   [](const Rank& a, const Rank& b) { return a.correct > b.correct; });
  for (qsizetype k = 0; k < out.size(); ++k)
    out[k].rank =
        k > 0 && out[k].correct == out[k - 1].correct ? out[k - 1].rank : static_cast<int>(k) + 1;
  return out;
}

int ClassBoard::answersReceived() const {
  int n = 0;
  for (const Learner& l : learners_)
    for (const Answer& a : l.answers) n += a.final || a.typed.has_value();
  return n;
}

::Mark ClassBoard::settled(Mark m) {
  return m == Mark::Correct ? ::Mark::Correct : m == Mark::Wrong ? ::Mark::Wrong : ::Mark::None;
}

QString ClassBoard::csv() const {
  QString out = QStringLiteral("position,numbers,total,learner,answer,mark,board_delay_ms\r\n");
  for (const Problem& p : problems_) {
    QStringList numbers;
    for (qint64 n : p.numbers) numbers << QString::number(n);
    for (const Learner& l : learners_) {
      const std::optional<Mark> m = mark(l, p.position);
      if (!m) continue;
      const Answer& a = *l.answers.constFind(p.position);
      const QStringList row{
          QString::number(p.position),
          numbers.join(QLatin1Char(' ')),
          p.total ? QString::number(*p.total) : QString(),
          csvField(l.name),
          a.typed ? QString::number(*a.typed) : QString(),
          *m == Mark::Pending ? QStringLiteral("pending") : storedMarkName(settled(*m)),
          a.latencyNs >= 0 ? QString::number(a.latencyNs / 1e6, 'f', 1) : QString()};
      out += row.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
  }
  return out;
}

ClassBoard::Learner& ClassBoard::at(const QString& name) {
  for (Learner& l : learners_)
    if (l.name == name) return l;
  learners_.append(Learner{name, State::Joined, 0, 0, {}});
  return learners_.last();
}

ClassBoard::Problem& ClassBoard::problem(int position) {
  for (Problem& p : problems_)
    if (p.position == position) return p;
  const auto at = std::lower_bound(problems_.begin(), problems_.end(), position,
                                   [](const Problem& p, int pos) { return p.position < pos; });
  return *problems_.insert(at, Problem{position, {}, std::nullopt, false});
}

const ClassBoard::Problem* ClassBoard::findProblem(int position) const {
  for (const Problem& p : problems_)
    if (p.position == position) return &p;
  return nullptr;
}

void ClassBoard::notify() {
  if (changed) changed();
}
