#include "progress/progress_charts.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
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

// Bars over named categories, with a value axis from 0 to at least `top`.
QChart* barChart(const QString& title, const QStringList& categories, const QList<double>& values,
                 double top, const QString& unit) {
  QChart* chart = newChart(title);
  auto* set = new QBarSet(unit);
  for (double v : values) *set << v;
  auto* series = new QBarSeries;
  series->append(set);
  chart->addSeries(series);
  auto* x = new QBarCategoryAxis;
  x->append(categories);
  auto* y = new QValueAxis;
  y->setRange(0, top);
  y->setLabelFormat(QStringLiteral("%.4g"));
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
  QChart* chart = barChart(QStringLiteral("1日の問題数（30日）"), names, counts, top * 1.1,
                           QStringLiteral("問"));
  // Thirty dates fit side by side only when turned upright.
  auto* x = static_cast<QBarCategoryAxis*>(chart->axes(Qt::Horizontal).first());
  x->setLabelsAngle(-90);
  return chart;
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
  auto* x = new QValueAxis;
  x->setRange(-0.5, double(days.size()) - 0.5);
  x->setTickCount(days.size() >= 30 ? 7 : 2);
  x->setLabelsVisible(false);
  x->setTitleText(days.isEmpty() ? QString()
                                 : dayLabel(days.first().day) + QStringLiteral(" ～ ") +
                                       dayLabel(days.last().day));
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
    names << QString::number(p.pace / 100.0, 'f', 2);
    shares << (p.answered ? 100.0 * p.correct / p.answered : 0);
  }
  QChart* chart = barChart(QStringLiteral("%1桁 速さ（秒）ごとの正解率").arg(digits), names, shares,
                           100, QStringLiteral("%"));
  return chart;
}

QChart* fastestPaceChart(const QMap<int, int>& fastest) {
  QStringList names;
  QList<double> seconds;
  double top = 1;
  for (int digits = 1; digits <= 14; ++digits) {
    names << QString::number(digits);
    const double s = fastest.value(digits, 0) / 100.0;
    seconds << s;
    top = std::max(top, s);
  }
  return barChart(QStringLiteral("桁数ごとの正解した最速の速さ"), names, seconds, top * 1.1,
                  QStringLiteral("秒"));
}
