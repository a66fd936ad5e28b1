// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_charts.h"

#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QStackedBarSeries>
#include <QValueAxis>
#include <optional>

namespace {

QChart* newChart(const QString& title) {
  auto* chart = new QChart;
  chart->setTitle(title);
  chart->legend()->hide();
  chart->setAnimationOptions(QChart::NoAnimation);
  chart->setMargins(QMargins(4, 4, 4, 4));
  return chart;
}

// Categories at 0, 1, 2 ... with a label under every one, or under every
// few when there are more than `labels`, so that each has room to be read whole.
QCategoryAxis* categoryAxis(const QStringList& names, qsizetype labels = 7) {
  auto* axis = new QCategoryAxis;
  axis->setRange(-0.5, double(names.size()) - 0.5);
  axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  const qsizetype step = std::max<qsizetype>(1, (names.size() + labels - 1) / labels);
  // Counted from the end: the newest day or the slowest pace is always named.
  QList<qsizetype> at;
  for (qsizetype k = names.size() - 1; k >= 0; k -= step) at.prepend(k);
  for (qsizetype k : at) axis->append(names[k], double(k));
  axis->setGridLineVisible(false);
  return axis;
}

// Bars over named categories, with a value axis from 0 to at least `top`,
// untitled: a title beside it would stand on end, so the chart's title
// names the unit (Qt's value labels take no Japanese). A value of exactly 0 stands as a low bar of
// a colour of its own, so that it is told apart from a category without data (nothing), which shows
// no bar at all.
QChart* barChart(const QString& title, const QStringList& categories,
                 const QList<std::optional<double>>& values, double top, const QString& format,
                 qsizetype labels = 7) {
  QChart* chart = newChart(title);
  auto* set = new QBarSet(title);
  auto* zero = new QBarSet(QStringLiteral("0"));
  zero->setColor(QColor(0xd0, 0x40, 0x40));
  for (const std::optional<double>& v : values) {
    *set << v.value_or(0);
    *zero << (v && *v == 0 ? top * 0.02 : 0);
  }
  auto* series = new QStackedBarSeries;
  series->append(set);
  series->append(zero);
  series->setBarWidth(0.8);
  chart->addSeries(series);
  QCategoryAxis* x = categoryAxis(categories, labels);
  auto* y = new QValueAxis;
  y->setRange(0, top);
  y->applyNiceNumbers();
  y->setLabelFormat(format);
  chart->addAxis(x, Qt::AlignBottom);
  chart->addAxis(y, Qt::AlignLeft);
  series->attachAxis(x);
  series->attachAxis(y);
  return chart;
}

QString dayLabel(const QDate& d) { return d.toString(QStringLiteral("M/d")); }

// A share in percent; nothing without answers.
std::optional<double> share(int correct, int answered) {
  if (answered == 0) return std::nullopt;
  return 100.0 * correct / answered;
}

}  // namespace

QChart* dayCountChart(const QList<DayCount>& days) {
  QStringList names;
  QList<std::optional<double>> counts;
  double top = 5;
  for (const DayCount& d : days) {
    names << dayLabel(d.day);
    counts << (d.problems ? std::optional<double>(d.problems) : std::nullopt);
    top = std::max(top, double(d.problems));
  }
  return barChart(QStringLiteral("1日の問題数（30日）"), names, counts, top, QStringLiteral("%d"));
}

QChart* correctShareChart(const QList<DayCount>& days) {
  QStringList names;
  QList<std::optional<double>> shares;
  for (const DayCount& d : days) {
    names << dayLabel(d.day);
    shares << share(d.correct, d.answered);
  }
  return barChart(QStringLiteral("正解率の推移（解答した問題）"), names, shares, 100,
                  QStringLiteral("%d%%"));
}

QChart* paceAccuracyChart(const QList<PaceAccuracy>& paces, int digits) {
  QStringList names;
  QList<std::optional<double>> shares;
  for (const PaceAccuracy& p : paces) {
    names << QString::number(p.pace / 100.0);
    shares << share(p.correct, p.answered);
  }
  return barChart(QStringLiteral("%1桁 速さ（秒）ごとの正解率").arg(digits), names, shares, 100,
                  QStringLiteral("%d%%"));
}

QChart* fastestPaceChart(const QMap<int, int>& fastest) {
  QStringList names;
  QList<std::optional<double>> seconds;
  double top = 0.5;
  for (int digits = 1; digits <= 14; ++digits) {
    names << QString::number(digits);
    const double s = fastest.value(digits, 0) / 100.0;
    seconds << (s > 0 ? std::optional<double>(s) : std::nullopt);
    top = std::max(top, s);
  }
  QChart* chart = barChart(QStringLiteral("桁数ごとの正解した最速の速さ（秒）"), names, seconds,
                           top, QStringLiteral("%.2f"), 14);
  chart->axes(Qt::Horizontal).first()->setTitleText(QStringLiteral("桁数"));
  return chart;
}
