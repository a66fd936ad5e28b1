// SPDX-License-Identifier: GPL-3.0-or-later
#include "classroom/board_window.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QVBoxLayout>

#include "classroom/teacher_class.h"

namespace {

QString stateText(ClassBoard::State s) {
  switch (s) {
    case ClassBoard::State::Joined:
      return QStringLiteral("参加");
    case ClassBoard::State::Ready:
      return QStringLiteral("準備完了");
    case ClassBoard::State::Gone:
      return QStringLiteral("切断");
    case ClassBoard::State::Left:
      return QStringLiteral("退出");
  }
  return {};
}

QString markText(ClassBoard::Mark m, const ClassBoard::Answer& a) {
  switch (m) {
    case ClassBoard::Mark::Pending:
      return a.typed ? QStringLiteral("済") : QString();
    case ClassBoard::Mark::Correct:
    case ClassBoard::Mark::Wrong:
    case ClassBoard::Mark::Unanswered:
      return markSymbol(ClassBoard::settled(m));
  }
  return {};
}

}  // namespace

BoardWindow::BoardWindow(TeacherClass& teacher)
    : teacher_(teacher),
      address_(new QLabel(this)),
      status_(new QLabel(this)),
      ranking_(new QLabel(this)),
      table_(new QTableWidget(this)),
      export_(new QPushButton(QStringLiteral("CSVに書き出す…"), this)),
      close_(new QPushButton(QStringLiteral("教室を閉じる"), this)) {
  setWindowTitle(QStringLiteral("教室「%1」の成績表").arg(teacher.room()));
  setObjectName(QStringLiteral("classBoard"));
  address_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  QFont big = address_->font();
  big.setPointSize(20);
  address_->setFont(big);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  ranking_->setWordWrap(true);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(export_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(address_);
  layout->addWidget(status_);
  layout->addWidget(table_, 1);
  layout->addWidget(ranking_);
  layout->addLayout(buttons);
  resize(820, 520);

  soon_.setSingleShot(true);
  soon_.setInterval(50);
  connect(&soon_, &QTimer::timeout, this, [this] { refresh(); });
  connect(&teacher_, &TeacherClass::changed, this, [this] {
    if (!soon_.isActive()) soon_.start();
  });
  connect(export_, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("CSVに書き出す"), QStringLiteral("class-%1.csv").arg(teacher_.room()),
        QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty() && !exportCsv(path))
      status_->setText(QStringLiteral("%1 に書き出せませんでした。").arg(path));
  });
  connect(close_, &QPushButton::clicked, this, [this] { teacher_.close(); });
  refresh();
}

bool BoardWindow::exportCsv(const QString& path) const {
  QSaveFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(teacher_.board().csv().toUtf8()) >= 0 &&
         f.commit();
}

void BoardWindow::refresh() {
  const ClassBoard& b = teacher_.board();
  address_->setText(QStringLiteral("%1　教室 %2　パスワード %3")
                        .arg(teacher_.address(), teacher_.room(), teacher_.password()));
  int ready = 0;
  for (const ClassBoard::Learner& l : b.learners()) ready += l.state == ClassBoard::State::Ready;
  status_->setText(
      QStringLiteral("%1　参加 %2人（準備完了 %3人）　受け取った答 %4　破棄したメッセージ %5")
          .arg(teacher_.connected() ? QStringLiteral("接続中") : QStringLiteral("接続待ち"))
          .arg(b.learners().size())
          .arg(ready)
          .arg(b.answersReceived())
          .arg(teacher_.dropped().total()));

  const QList<ClassBoard::Problem>& problems = b.problems();
  const int columns = 2 + static_cast<int>(problems.size()) + 1;
  QStringList header{QStringLiteral("名前"), QStringLiteral("状態")};
  for (const ClassBoard::Problem& p : problems) header << QStringLiteral("問%1").arg(p.position);
  header << QStringLiteral("正解");
  table_->setColumnCount(columns);
  table_->setHorizontalHeaderLabels(header);
  table_->setRowCount(static_cast<int>(b.learners().size()) + 1);
  const auto put = [this](int row, int column, const QString& text, const QString& tip = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(column < 2 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    item->setToolTip(tip);
    table_->setItem(row, column, item);
  };
  int row = 0;
  for (const ClassBoard::Learner& l : b.learners()) {
    put(row, 0, l.name);
    put(row, 1, stateText(l.state));
    int correct = 0;
    for (int k = 0; k < problems.size(); ++k) {
      const std::optional<ClassBoard::Mark> m = b.mark(l, problems[k].position);
      if (!m) {
        put(row, 2 + k, QString());
        continue;
      }
      const ClassBoard::Answer& a = *l.answers.constFind(problems[k].position);
      correct += *m == ClassBoard::Mark::Correct;
      put(row, 2 + k, markText(*m, a), a.typed ? QString::number(*a.typed) : QString());
    }
    put(row, columns - 1, QString::number(correct));
    ++row;
  }
  put(row, 0, QStringLiteral("正解の数"));
  put(row, 1, QString());
  for (int k = 0; k < problems.size(); ++k) {
    const ClassBoard::Tally t = b.tally(problems[k].position);
    const int marked = t.correct + t.wrong + t.unanswered;
    put(row, 2 + k, marked ? QStringLiteral("%1/%2").arg(t.correct).arg(marked) : QString());
  }
  put(row, columns - 1, QString());
  table_->resizeColumnsToContents();

  QStringList ranks;
  for (const ClassBoard::Rank& r : b.ranking())
    ranks << QStringLiteral("%1位 %2（%3問正解）").arg(r.rank).arg(r.name).arg(r.correct);
  ranking_->setText(QStringLiteral("順位：") + ranks.join(QStringLiteral("　")));
}
