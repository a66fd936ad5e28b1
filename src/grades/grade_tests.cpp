// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/grade_tests.h"

#include <QDebug>
#include <QTextStream>

#include "grades/grade_chooser.h"
#include "grades/grade_test.h"
#include "host/feature_host.h"
#include "host/shortcuts.h"
#include "host/window_menu.h"

GradeTests::GradeTests(FeatureHost& host, std::function<LadderSet()> load)
    : host_(host),
      load_(std::move(load)),
      test_(std::make_unique<GradeTest>(host.port(), host.records())) {
  host_.answers().subscribe(test_.get());
  const ShortcutInfo& entry = shortcutInfo(shortcut::Grades);
  host_.menu().add(entry.japanese, QKeySequence(entry.key), [this] { openChooser(); });
}

GradeTests::~GradeTests() { host_.answers().unsubscribe(test_.get()); }

const LadderSet& GradeTests::ladders() {
  if (!ladders_) {
    ladders_ = load_();
    for (const LadderError& e : ladders_->errors) qWarning().noquote() << "pelatto:" << e.text();
  }
  return *ladders_;
}

GradeChooser& GradeTests::chooser() {
  if (!chooser_) {
    chooser_ = std::make_unique<GradeChooser>(host_.port().widget(), ladders());
    chooser_->onChosen = [this](const Ladder& l, const Grade& g) { test_->prepare(l, g); };
  }
  return *chooser_;
}

bool GradeTests::startGradeByName(const QString& name, QTextStream& err) {
  const Ladder* ladder = nullptr;
  if (const Grade* grade = ladders().find(name, &ladder)) {
    test_->prepare(*ladder, *grade);
    return true;
  }
  err << QStringLiteral("pelatto: 「%1」という級・段位はありません。選べるのは:\n").arg(name);
  for (const QString& line : ladders_->gradeLists()) err << "  " << line << '\n';
  for (const LadderError& e : ladders_->errors) err << "  (" << e.text() << ")\n";
  err.flush();
  return false;
}

void GradeTests::openChooser() { chooser().open(); }
