// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/grade_tests.h"

#include <QDebug>
#include <QTextStream>

#include "grades/grade_chooser.h"
#include "grades/grade_test.h"
#include "host/feature_host.h"
#include "host/shortcuts.h"
#include "host/window_menu.h"

GradeTests::GradeTests(FeatureHost& host, LadderSet ladders)
    : host_(host),
      ladders_(std::move(ladders)),
      test_(std::make_unique<GradeTest>(host.port(), host.records())),
      chooser_(std::make_unique<GradeChooser>(host.port().widget(), ladders_)) {
  host_.answers().subscribe(test_.get());
  for (const LadderError& e : ladders_.errors) qWarning().noquote() << "pelatto:" << e.text();
  chooser_->onChosen = [this](const Ladder& l, const Grade& g) { test_->prepare(l, g); };
  const ShortcutInfo& entry = shortcutInfo(shortcut::Grades);
  host_.menu().add(entry.japanese, QKeySequence(entry.key), [this] { openChooser(); });
}

GradeTests::~GradeTests() { host_.answers().unsubscribe(test_.get()); }

bool GradeTests::startGradeByName(const QString& name, QTextStream& err) {
  const Ladder* ladder = nullptr;
  if (const Grade* grade = ladders_.find(name, &ladder)) {
    test_->prepare(*ladder, *grade);
    return true;
  }
  err << QStringLiteral("pelatto: 「%1」という級・段位はありません。選べるのは:\n").arg(name);
  for (const QString& line : ladders_.gradeLists()) err << "  " << line << '\n';
  for (const LadderError& e : ladders_.errors) err << "  (" << e.text() << ")\n";
  err.flush();
  return false;
}

void GradeTests::openChooser() { chooser_->open(); }
