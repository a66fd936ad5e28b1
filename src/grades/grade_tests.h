// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "grades/ladder_files.h"

class FeatureHost;
class GradeChooser;
class GradeTest;
class HistoryApi;
class QTextStream;
class WindowMenu;

// The grade tests as the program offers them: the menu entry with its grade
// chooser, and the command line's grade. The ladders are read, and the
// chooser made, when first asked for, not at start.
class GradeTests {
 public:
  // Keeps its tests in the host's records and scores the host's answers.
  explicit GradeTests(FeatureHost& host, std::function<LadderSet()> load = loadLadders);
  GradeTests(FeatureHost& host, LadderSet ladders)
      : GradeTests(host, [l = std::move(ladders)] { return l; }) {}
  ~GradeTests();

  // Prepares the test of that grade ("十段", or "ladder/grade"); on a name no
  // ladder knows, writes the grades there are to err and returns false.
  bool startGradeByName(const QString& name, QTextStream& err);
  void openChooser();

  const LadderSet& ladders();
  GradeTest& test() const { return *test_; }
  GradeChooser& chooser();

 private:
  FeatureHost& host_;
  std::function<LadderSet()> load_;
  std::optional<LadderSet> ladders_;
  std::unique_ptr<GradeTest> test_;
  std::unique_ptr<GradeChooser> chooser_;
};
