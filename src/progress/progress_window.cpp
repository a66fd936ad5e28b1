// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_window.h"

#include <QAction>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "host/feature_host.h"
#include "progress/grade_rank.h"
#include "progress/progress_charts.h"

namespace {

// How the table shows a problem's settings: "3桁" or "2～5桁 混3", "0.50秒".
QString digitsLabel(const DrillSettings& s) {
  if (s.mix == 0 || s.shortest == s.longest) return QStringLiteral("%1桁").arg(s.longest);
  return QStringLiteral("%1～%2桁 混%3").arg(s.shortest).arg(s.longest).arg(s.mix);
}

QString paceLabel(int pace) { return QString::number(pace / 100.0, 'f', 2) + QStringLiteral("秒"); }

// The numbers as one line: "12 7 345".
QString numbersLine(const QList<qint64>& numbers) {
  QStringList parts;
  for (qint64 n : numbers) parts << QString::number(n);
  return parts.join(QLatin1Char(' '));
}

constexpr int kRecentRows = 500;
constexpr int kChartDays = 30;
constexpr int kNumbersColumn = 7;

QChartView* chartView() {
  auto* view = new QChartView;
  view->setRenderHint(QPainter::Antialiasing);
  view->setMinimumSize(380, 260);
  return view;
}

void setChart(QChartView* view, QChart* chart) {
  QChart* old = view->chart();
  view->setChart(chart);
  delete old;
}

QTableWidget* newTable(const QStringList& headings) {
  auto* t = new QTableWidget(0, static_cast<int>(headings.size()));
  t->setHorizontalHeaderLabels(headings);
  t->setEditTriggers(QAbstractItemView::NoEditTriggers);
  t->setSelectionBehavior(QAbstractItemView::SelectRows);
  t->setSelectionMode(QAbstractItemView::SingleSelection);
  t->verticalHeader()->hide();
  t->horizontalHeader()->setStretchLastSection(true);
  return t;
}

void setRow(QTableWidget* t, int row, const QStringList& cells) {
  for (int c = 0; c < cells.size(); ++c) t->setItem(row, c, new QTableWidgetItem(cells[c]));
}

}  // namespace

ProgressWindow::ProgressWindow(FeatureHost& host, QWidget* parent)
    : QWidget(parent, Qt::Window), host_(host), tabs_(new QTabWidget) {
  setObjectName(QStringLiteral("progressWindow"));
  setWindowTitle(QStringLiteral("成績 - Pelatto"));
  resize(1000, 700);
  tabs_->addTab(chartsPage(), QStringLiteral("グラフ"));
  tabs_->addTab(problemsPage(), QStringLiteral("最近の問題"));
  tabs_->addTab(testsPage(), QStringLiteral("検定"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(tabs_);
  status_ = new QLabel;
  layout->addWidget(status_);
  auto* close = new QAction(this);
  close->setShortcut(QKeySequence(Qt::Key_Escape));
  connect(close, &QAction::triggered, this, &QWidget::close);
  addAction(close);
}

void ProgressWindow::handOnKeys(QWidget* mainWindow) {
  for (QAction* a : mainWindow->actions()) {
    const QKeySequence key = a->shortcut();
    if (key.isEmpty() || key == QKeySequence(Qt::Key_Escape)) continue;
    auto* proxy = new QAction(this);
    proxy->setShortcut(key);
    // The drill is on the main window: it comes to the front first, unless
    // the key opens this window again.
    connect(proxy, &QAction::triggered, this, [mainWindow, a, key] {
      if (!a->isEnabled()) return;
      if (key != QKeySequence(Qt::Key_F9)) {
        mainWindow->raise();
        mainWindow->activateWindow();
      }
      a->trigger();
    });
    addAction(proxy);
  }
}

QWidget* ProgressWindow::chartsPage() {
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  days_ = chartView();
  share_ = chartView();
  pace_ = chartView();
  fastest_ = chartView();
  paceDigits_ = new QComboBox;
  paceDigits_->setObjectName(QStringLiteral("paceDigits"));
  paceDigits_->setAccessibleName(QStringLiteral("正解率を見る桁数"));
  for (int d = 1; d <= 14; ++d) paceDigits_->addItem(QStringLiteral("%1桁").arg(d), d);
  connect(paceDigits_, &QComboBox::currentIndexChanged, this, [this] { refreshPaceChart(); });
  auto* paceBox = new QVBoxLayout;
  auto* paceRow = new QHBoxLayout;
  paceRow->addWidget(new QLabel(QStringLiteral("桁数:")));
  paceRow->addWidget(paceDigits_);
  paceRow->addStretch();
  paceBox->addLayout(paceRow);
  paceBox->addWidget(pace_);
  grid->addWidget(days_, 0, 0);
  grid->addWidget(share_, 0, 1);
  grid->addLayout(paceBox, 1, 0);
  grid->addWidget(fastest_, 1, 1);
  return page;
}

QWidget* ProgressWindow::problemsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  auto* row = new QHBoxLayout;
  digitsFilter_ = new QComboBox;
  digitsFilter_->setObjectName(QStringLiteral("digitsFilter"));
  digitsFilter_->setAccessibleName(QStringLiteral("桁数で絞り込む"));
  digitsFilter_->addItem(QStringLiteral("すべて"), 0);
  for (int d = 1; d <= 14; ++d) digitsFilter_->addItem(QStringLiteral("%1桁").arg(d), d);
  termsFilter_ = new QComboBox;
  termsFilter_->setObjectName(QStringLiteral("termsFilter"));
  termsFilter_->setAccessibleName(QStringLiteral("口数で絞り込む"));
  termsFilter_->addItem(QStringLiteral("すべて"), 0);
  for (int t = 2; t <= 30; ++t) termsFilter_->addItem(QStringLiteral("%1口").arg(t), t);
  for (QComboBox* c : {digitsFilter_, termsFilter_})
    connect(c, &QComboBox::currentIndexChanged, this, [this] { refreshProblems(); });
  auto* replay = new QPushButton(QStringLiteral("この問題をもう一度"));
  replay->setObjectName(QStringLiteral("replayButton"));
  connect(replay, &QPushButton::clicked, this, [this] { replaySelected(); });
  auto* exportButton = new QPushButton(QStringLiteral("CSVに書き出す…"));
  exportButton->setObjectName(QStringLiteral("exportButton"));
  connect(exportButton, &QPushButton::clicked, this, [this] { exportAsked(); });
  row->addWidget(new QLabel(QStringLiteral("桁数:")));
  row->addWidget(digitsFilter_);
  row->addWidget(new QLabel(QStringLiteral("口数:")));
  row->addWidget(termsFilter_);
  row->addStretch();
  row->addWidget(replay);
  row->addWidget(exportButton);
  layout->addLayout(row);
  // The numbers last, in the room the others leave: a long list is cut
  // there (all of it in the cell's tooltip), never pushing the answer away.
  table_ = newTable({QStringLiteral("日時"), QStringLiteral("桁"), QStringLiteral("口数"),
                     QStringLiteral("速さ"), QStringLiteral("合計"), QStringLiteral("答え"),
                     QStringLiteral("判定"), QStringLiteral("数字")});
  table_->setObjectName(QStringLiteral("problemTable"));
  table_->setWordWrap(false);
  table_->horizontalHeader()->setSectionResizeMode(kNumbersColumn, QHeaderView::Stretch);
  connect(table_, &QTableWidget::cellDoubleClicked, this, [this] { replaySelected(); });
  layout->addWidget(table_);
  return page;
}

QWidget* ProgressWindow::testsPage() {
  auto* page = new QWidget;
  auto* layout = new QVBoxLayout(page);
  highest_ = new QLabel;
  highest_->setObjectName(QStringLiteral("highestGrade"));
  QFont big = highest_->font();
  big.setPointSizeF(big.pointSizeF() * 1.5);
  highest_->setFont(big);
  tests_ = newTable({QStringLiteral("日時"), QStringLiteral("段級"), QStringLiteral("正解"),
                     QStringLiteral("結果")});
  tests_->setObjectName(QStringLiteral("gradeTestTable"));
  layout->addWidget(highest_);
  layout->addWidget(tests_);
  return page;
}

void ProgressWindow::open() {
  refresh();
  show();
  raise();
  activateWindow();
}

void ProgressWindow::refresh() {
  refreshCharts();
  refreshProblems();
  refreshTests();
}

void ProgressWindow::refreshCharts() {
  const HistoryApi& h = history();
  const QList<DayCount> days = h.problemsPerDay(QDate::currentDate(), kChartDays);
  setChart(days_, dayCountChart(days));
  setChart(share_, correctShareChart(days));
  setChart(fastest_, fastestPaceChart(h.fastestCorrectPace()));
  const QSignalBlocker quiet(paceDigits_);
  paceDigits_->setCurrentIndex(h.latestDigits() - 1);
  refreshPaceChart();
}

void ProgressWindow::refreshPaceChart() {
  const int digits = paceDigits_->currentData().toInt();
  setChart(pace_, paceAccuracyChart(history().accuracyByPace(digits), digits));
}

void ProgressWindow::refreshProblems() {
  shown_ = history().problems(
      {digitsFilter_->currentData().toInt(), termsFilter_->currentData().toInt(), kRecentRows});
  table_->setUpdatesEnabled(false);
  table_->setRowCount(static_cast<int>(shown_.size()));
  for (int row = 0; row < shown_.size(); ++row) {
    const ProblemRecord& r = shown_[row];
    QString when = r.at.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (r.kind == RecordContext::Kind::Replay) when += QStringLiteral(" 再");
    if (r.kind == RecordContext::Kind::Test) when += QStringLiteral(" 検");
    if (r.kind == RecordContext::Kind::Class) when += QStringLiteral(" 教");
    setRow(table_, row,
           {when, digitsLabel(r.settings), QString::number(r.settings.terms),
            paceLabel(r.settings.pace), QString::number(r.total),
            r.answer ? QString::number(*r.answer) : QString(),
            r.aborted ? QStringLiteral("中断") : markSymbol(r.mark), numbersLine(r.numbers)});
    table_->item(row, kNumbersColumn)->setToolTip(numbersLine(r.numbers));
  }
  table_->resizeColumnsToContents();
  table_->setUpdatesEnabled(true);
}

void ProgressWindow::refreshTests() {
  const QList<GradeTestRecord> tests = history().gradeTests();
  const QString best = highestPassed(tests);
  highest_->setText(best.isEmpty() ? QStringLiteral("合格した段級はまだありません。")
                                   : QStringLiteral("合格した最高の段級: %1").arg(best));
  tests_->setRowCount(static_cast<int>(tests.size()));
  for (int row = 0; row < tests.size(); ++row) {
    const GradeTestRecord& t = tests[row];
    setRow(tests_, row,
           {t.startedAt.toString(QStringLiteral("yyyy-MM-dd HH:mm")), t.grade,
            QStringLiteral("%1 / %2").arg(t.correct).arg(t.problems),
            t.result.isEmpty() ? QStringLiteral("受験中") : t.result});
  }
  tests_->resizeColumnsToContents();
}

void ProgressWindow::replaySelected() {
  const int row = table_->currentRow();
  if (row < 0 || row >= shown_.size()) {
    status_->setText(QStringLiteral("もう一度出す問題を表から選んでください。"));
    return;
  }
  if (host_.replay(shown_[row])) status_->setText(QStringLiteral("同じ数字で出題します。"));
}

bool ProgressWindow::exportTo(const QString& path) {
  QString why;
  const bool ok = history().exportTo(path, &why);
  status_->setText(ok ? QStringLiteral("%1 に書き出しました。").arg(path)
                      : QStringLiteral("書き出せませんでした: %1").arg(why));
  return ok;
}

void ProgressWindow::exportAsked() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("成績をCSVに書き出す"),
                                                    QStringLiteral("pelatto-history.csv"),
                                                    QStringLiteral("CSV (*.csv)"));
  if (!path.isEmpty()) exportTo(path);
}

HistoryApi& ProgressWindow::history() const {
  // Without a history the window shows an empty one.
  static HistoryApi none;
  return host_.records() ? *host_.records() : none;
}
