// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/grade_chooser.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "engine/drill_timing.h"

namespace {

constexpr int kLadderRole = Qt::UserRole;
constexpr int kGradeRole = Qt::UserRole + 1;

QTreeWidgetItem* gradeRow(const Grade& g, int ladder, int grade) {
  const int pace = paceFor(g.terms, g.officialMs).value_or(kSlowestPace);
  auto* row = new QTreeWidgetItem(
      {g.name, QString::number(g.digits), QString::number(g.terms),
       secondsText(g.officialMs) + QStringLiteral(" 秒"),
       secondsText(drill_timing::seriesMs(g.terms, pace)) + QStringLiteral(" 秒"),
       secondsText(pace * 10) + QStringLiteral(" 秒")});
  row->setData(0, kLadderRole, ladder);
  row->setData(0, kGradeRole, grade);
  for (int c = 1; c < 6; ++c) row->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
  return row;
}

}  // namespace

GradeChooser::GradeChooser(QWidget* mainWindow, const LadderSet& ladders)
    : QWidget(mainWindow, Qt::Dialog),
      ladders_(ladders),
      list_(new QTreeWidget(this)),
      problems_(new QPlainTextEdit(this)) {
  setObjectName(QStringLiteral("gradeChooser"));
  setWindowTitle(QStringLiteral("級・段位認定　段位を選ぶ"));
  setAccessibleName(windowTitle());
  list_->setObjectName(QStringLiteral("gradeList"));
  list_->setAccessibleName(QStringLiteral("級・段位"));
  list_->setHeaderLabels({QStringLiteral("級・段位"), QStringLiteral("桁"), QStringLiteral("口数"),
                          QStringLiteral("規定の時間"), QStringLiteral("この試験の時間"),
                          QStringLiteral("1 口")});
  list_->setRootIsDecorated(false);
  list_->setItemsExpandable(false);
  list_->setUniformRowHeights(true);
  for (int l = 0; l < ladders.ladders.size(); ++l) {
    const Ladder& ladder = ladders.ladders[l];
    auto* top = new QTreeWidgetItem({ladder.name});
    top->setFlags(Qt::ItemIsEnabled);
    list_->addTopLevelItem(top);
    top->setFirstColumnSpanned(true);
    for (int g = 0; g < ladder.grades.size(); ++g) top->addChild(gradeRow(ladder.grades[g], l, g));
  }
  list_->expandAll();
  list_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
  list_->header()->setStretchLastSection(false);
  if (list_->topLevelItemCount() > 0 && list_->topLevelItem(0)->childCount() > 0)
    list_->setCurrentItem(list_->topLevelItem(0)->child(0));

  auto* note = new QLabel(
      QStringLiteral("10 問のうち 7 問以上正解で合格、5・6 問で準合格。\n自分の段級表: %1/*.txt")
          .arg(userLadderFolder()),
      this);
  note->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QStringList lines;
  for (const LadderError& e : ladders.errors) lines << e.text();
  problems_->setObjectName(QStringLiteral("ladderProblems"));
  problems_->setAccessibleName(QStringLiteral("読み込めなかった段級表"));
  problems_->setReadOnly(true);
  problems_->setPlainText(lines.join('\n'));
  problems_->setVisible(!lines.isEmpty());
  problems_->setMaximumHeight(90);

  auto* buttons = new QDialogButtonBox(this);
  QPushButton* pick = buttons->addButton(QStringLiteral("選ぶ"), QDialogButtonBox::AcceptRole);
  pick->setObjectName(QStringLiteral("gradePick"));
  buttons->addButton(QStringLiteral("閉じる"), QDialogButtonBox::RejectRole);
  auto* column = new QVBoxLayout(this);
  column->addWidget(list_);
  column->addWidget(note);
  column->addWidget(problems_);
  column->addWidget(buttons);
  list_->header()->resizeSections(QHeaderView::ResizeToContents);
  resize(list_->header()->length() + 60, 560);

  QObject::connect(buttons, &QDialogButtonBox::accepted, this, [this] { choose(); });
  QObject::connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
  QObject::connect(list_, &QTreeWidget::itemActivated, this, [this] { choose(); });
}

void GradeChooser::open() {
  show();
  raise();
  activateWindow();
  list_->setFocus();
}

void GradeChooser::choose() {
  const QTreeWidgetItem* row = list_->currentItem();
  if (!row || !row->data(0, kGradeRole).isValid()) return;
  const Ladder& ladder = ladders_.ladders[row->data(0, kLadderRole).toInt()];
  const Grade& grade = ladder.grades[row->data(0, kGradeRole).toInt()];
  close();
  if (onChosen) onChosen(ladder, grade);
}
