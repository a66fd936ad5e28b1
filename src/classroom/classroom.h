// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

#include "classroom/class_options.h"

class BoardWindow;
class DrillPort;
class LearnerClass;
class TeacherClass;
class FeatureHost;

// The classroom as the program offers it: 教室を開く, 教室に参加 and
// 教室を離れる in the window's menu, the command line's class, and one class
// at a time, taught or joined.
class Classroom : public QObject {
 public:
  // Adds its entries to the host's menu; classes go into the host's records
  // (unrecorded while there are none).
  explicit Classroom(FeatureHost& host);
  ~Classroom() override;

  // Opens or joins the class the command line asked for; the teacher's
  // join line goes to standard output. False with the reason.
  bool start(const ClassOptions& options, QString* why);
  bool teach(const QString& room, const QString& brokerUrl, const QString& password, QString* why);
  bool join(const QString& url, const QString& room, const QString& name, const QString& password,
            QString* why);
  // Closes the class taught or leaves the one joined.
  void end();

  TeacherClass* teacher() const { return teacher_.get(); }
  LearnerClass* learner() const { return learner_.get(); }
  BoardWindow* board() const { return board_.get(); }

 private:
  void askRoom();
  void askJoin();
  void dropEnded();

  FeatureHost& host_;
  DrillPort& port_;
  std::unique_ptr<TeacherClass> teacher_;
  std::unique_ptr<LearnerClass> learner_;
  std::unique_ptr<BoardWindow> board_;
};
