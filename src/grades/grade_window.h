// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>

class DrillPort;
class QLabel;
class QPushButton;

// The small window of one grade test: what the grade sets and how long the
// series really lasts, the "始める" button, and later the result. Every line
// is a label a screen reader reads; the result also goes to the window's
// accessible description. It stands on the main window where it covers
// none of the answer columns and their marks, or beside it.
class GradeWindow : public QWidget {
 public:
  explicit GradeWindow(DrillPort& port);

  std::function<void()> onStart;
  std::function<void()> onClose;

  // Before the start: grade, what it sets, official and real time, and a
  // hint on how the test goes, which the outcome replaces.
  void showPlan(const QString& title, const QStringList& facts, const QString& hint);
  // After the marking or an abandon: the outcome and the highest grade passed.
  void showOutcome(const QString& outcome, const QString& detail, const QString& highest);

  QString title() const;
  QString outcome() const;
  QPushButton* startButton() const { return start_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void placeBesideMain();

  DrillPort& port_;
  QLabel* title_;
  QLabel* facts_;
  QLabel* hint_;
  QLabel* outcome_;
  QLabel* detail_;
  QLabel* highest_;
  QPushButton* start_;
  QPushButton* close_;
};
