// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QWidget>

#include "host/records.h"

class FeatureHost;
class HistoryApi;
class QChartView;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;

// The learner's progress: charts of the history, the recent problems with a
// filter and a replay, the grade tests, and the CSV export. A window of its
// own beside the trainer; it reads the history each time it is opened.
class ProgressWindow : public QWidget {
 public:
  // Shows the host's records and replays through the host.
  explicit ProgressWindow(FeatureHost& host, QWidget* parent = nullptr);

  // Reads the history again and shows the window in front.
  void open();
  // The keys of `mainWindow`'s actions work here too, on the main window
  // brought to the front (F9 only reads the history again); Esc closes this one.
  void handOnKeys(QWidget* mainWindow);
  void refresh();

  QTableWidget* problemTable() const { return table_; }
  const QList<ProblemRecord>& shownProblems() const { return shown_; }
  // Exports to `path`; returns whether it was written.
  bool exportTo(const QString& path);

 private:
  QWidget* chartsPage();
  QWidget* problemsPage();
  QWidget* testsPage();
  void refreshCharts();
  void refreshPaceChart();
  void refreshProblems();
  void refreshTests();
  void replaySelected();
  void exportAsked();

  HistoryApi& history() const;

  FeatureHost& host_;
  QTabWidget* tabs_;
  QChartView *days_, *share_, *pace_, *fastest_;
  QComboBox* paceDigits_;
  QComboBox *digitsFilter_, *termsFilter_;
  QTableWidget* table_;
  QLabel* status_;
  QLabel* highest_;
  QTableWidget* tests_;
  QList<ProblemRecord> shown_;
};
