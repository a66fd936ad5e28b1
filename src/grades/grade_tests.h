// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <memory>

#include "grades/ladder_files.h"

class FeatureHost;
class GradeChooser;
class GradeTest;
class HistoryApi;
class QTextStream;
class WindowMenu;

// The grade tests as the program offers them: the ladders read at start, the
// menu entry with its grade chooser, and the command line's grade.
class GradeTests {
 public:
  // Keeps its tests in the host's records and scores the host's answers.
  explicit GradeTests(FeatureHost& host, LadderSet ladders = loadLadders());
  ~GradeTests();

  // Prepares the test of that grade ("十段", or "ladder/grade"); on a name no
  // ladder knows, writes the grades there are to err and returns false.
  bool startGradeByName(const QString& name, QTextStream& err);
  void openChooser();

  const LadderSet& ladders() const { return ladders_; }
  GradeTest& test() const { return *test_; }
  GradeChooser& chooser() const { return *chooser_; }

 private:
  FeatureHost& host_;
  LadderSet ladders_;
  std::unique_ptr<GradeTest> test_;
  std::unique_ptr<GradeChooser> chooser_;
};
