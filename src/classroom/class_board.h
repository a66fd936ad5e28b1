// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <functional>
#include <optional>

#include "answers/marks.h"

// The teacher's view of the class: who is there, each learner's answer to
// each problem, the marks once the teacher's screen has shown the total, the
// tally per problem and the ranking. Problems are numbered through the class
// from 1 (position). Plain data: messages and the teacher's drill go in,
// the board window and the CSV only read it.
class ClassBoard {
 public:
  enum class State { Joined, Ready, Gone, Left };
  enum class Mark { Pending, Correct, Wrong, Unanswered };
  // A settled mark as the rest of the program names it (not Pending).
  static ::Mark settled(Mark m);
  struct Answer {
    std::optional<qint64> typed;
    bool final = false;     // as marked on the learner's screen at the reveal
    qint64 latencyNs = -1;  // from the learner's Enter to the board, when measured
  };
  struct Learner {
    QString name;
    State state = State::Joined;
    qint64 offsetNs = 0, roundTripNs = 0;  // its clock estimate, once ready
    QMap<int, Answer> answers;             // by position
  };
  struct Problem {
    int position = 0;
    QList<qint64> numbers;
    std::optional<qint64> total;
    bool revealed = false;
  };
  struct Tally {
    int correct = 0, wrong = 0, unanswered = 0;
  };
  struct Rank {
    QString name;
    int correct = 0;
    int answered = 0;
    int rank = 0;  // 1 for the best; equal scores share a rank
  };

  std::function<void()> changed;

  void presence(const QString& name, State state, qint64 offsetNs = 0, qint64 roundTripNs = 0);
  void problemStarted(int position, const QList<qint64>& numbers);
  void problemTotal(int position, qint64 total);
  void revealed(int position);
  // An answer from a learner; a final one replaces what was typed along the way.
  void answer(const QString& name, int position, std::optional<qint64> typed, bool final,
              qint64 latencyNs);

  const QList<Learner>& learners() const { return learners_; }
  const QList<Problem>& problems() const { return problems_; }
  const Learner* learner(const QString& name) const;
  // Marks wait for the reveal; a learner who never saw the problem has none.
  std::optional<Mark> mark(const Learner& l, int position) const;
  Tally tally(int position) const;
  QList<Rank> ranking() const;
  // Answers gathered: one per learner and problem it answered or let pass.
  int answersReceived() const;
  // One row per learner and problem it took part in.
  QString csv() const;

 private:
  Learner& at(const QString& name);
  Problem& problem(int position);
  const Problem* findProblem(int position) const;
  void notify();

  QList<Learner> learners_;
  QList<Problem> problems_;
};
