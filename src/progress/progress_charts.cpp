#include "progress/progress_charts.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QLineSeries>
#include <QScatterSeries>
#include <QValueAxis>

namespace {

QChart* newChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->hide();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setMargins(QMargins(4, 4, 4, 4));
  return chart;
}

// Categories at 0, 1, 2 ... with a label under every few, so that each
// label has room to be read whole.
QCategoryAxis* sparseAxis(const QStringList& names) {
  auto* axis = new QCategoryAxis;
  axis->setRange(-0.5, double(names.size()) - 0.5);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const qsizetype step = std::max<qsizetype>(1, (names.size() + 6) / 7);
  // Counted from the end: the newest day or the slowest pace is always named.
  QList<qsizetype> at;
  for (qsizetype k = names.size() - 1; k >= 0; k -= step) at.prepend(k);
  for (qsizetype k : at) axis->append(names[k], double(k));
  axis->setGridLineVisible(false);
  return axis;
}

// Bars over named categories, with a value axis from 0 to at least `top`.
QChart* barChart(const QString& title, const QStringList& categories, const QList<double>& values,
                 double top, const QString& unit) {
  QChart* chart = newChart(title);
  auto* set = new QBarSet(unit);
  for (double v : values) *set << v;
  auto* series = new QBarSeries;
  series->append(set);
  chart->addSeries(series);
  QCategoryAxis* x = sparseAxis(categories);
  auto* y = new QValueAxis;
  y->setRange(0, top);
  y->applyNiceNumbers();
  y->setLabelFormat(top >= 10 ? QStringLiteral("%d") : QStringLiteral("%.2f"));
  y->setTitleText(unit);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(x);
  series->attachAxis(y);
  return chart;
}

QString dayLabel(const QDate& d) { return d.toString(QStringLiteral("M/d")); }

}  // namespace

QChart* dayCountChart(const QList<DayCount>& days) {
  QStringList names;
  QList<double> counts;
  double top = 5;
  for (const DayCount& d : days) {
    names << dayLabel(d.day);
    counts << d.problems;
    top = std::max(top, double(d.problems));
  }
  return barChart(QStringLiteral("1日の問題数（30日）"), names, counts, top, QStringLiteral("問"));
}

QChart* correctShareChart(const QList<DayCount>& days) {
  QChart* chart = newChart(QStringLiteral("正解率の推移（解答した問題）"));
  auto* line = new QLineSeries;
  auto* dots = new QScatterSeries;
  dots->setMarkerSize(7);
  for (qsizetype k = 0; k < days.size(); ++k) {
    if (days[k].answered == 0) continue;
    const double share = 100.0 * days[k].correct / days[k].answered;
    line->append(double(k), share);
    dots->append(double(k), share);
  }
  chart->addSeries(line);
  chart->addSeries(dots);
  // The same days beneath as in the count chart.
  QStringList names;
  for (const DayCount& d : days) names << dayLabel(d.day);
  QCategoryAxis* x = sparseAxis(names);
  auto* y = new QValueAxis;
  y->setRange(0, 100);
  y->setLabelFormat(QStringLiteral("%d%%"));
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  for (QAbstractSeries* s : chart->series()) s->attachAxis(x), s->attachAxis(y);
  return chart;
}

QChart* paceAccuracyChart(const QList<PaceAccuracy>& paces, int digits) {
  QStringList names;
  QList<double> shares;
  for (const PaceAccuracy& p : paces) {
    names << QString::number(p.pace / 100.0);
    shares << (p.answered ? 100.0 * p.correct / p.answered : 0);
  }
  QChart* chart = barChart(QStringLiteral("%1桁 速さ（秒）ごとの正解率").arg(digits), names, shares,
                           100, QStringLiteral("%"));
  return chart;
}

QChart* fastestPaceChart(const QMap<int, int>& fastest) {
  QStringList names;
  QList<double> seconds;
  double top = 0.5;
  for (int digits = 1; digits <= 14; ++digits) {
    names << QString::number(digits);
    const double s = fastest.value(digits, 0) / 100.0;
    seconds << s;
    top = std::max(top, s);
  }
  return barChart(QStringLiteral("桁数ごとの正解した最速の速さ（秒）"), names, seconds, top,
                  QStringLiteral("秒"));
}
