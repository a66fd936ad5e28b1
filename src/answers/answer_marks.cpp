// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/answer_marks.h"

#include <QFontMetricsF>
#include <QLabel>
#include <algorithm>

#include "answers/answer_sheet.h"
#include "answers/answer_text.h"
#include "host/drill_port.h"
#include "host/screen_space.h"
#include "platform/units.h"

namespace {

constexpr double kMinPoints = 9;
constexpr double kShrink = 0.85;
constexpr double kScorePoints = 28;
constexpr int kGap = 10;  // pixels between the total and its mark
// A column's marks: their size and their distance from the totals, as
// parts of the column's font size.
constexpr double kMarkScale = 0.55;
constexpr double kMarkGap = 0.3;
// Pixels of one point at 96 dpi, and twips of one point.
constexpr double kPixelsPerPoint = 96.0 / 72.0;
constexpr double kTwipsPerPoint = 20;

using Showing = AnswerSheet::Showing;

void setMark(QLabel* l, const answers::MarkText& t) {
  l->setText(t.shown);
  l->setAccessibleName(t.name);
  l->setAccessibleDescription(t.description);
}

// The rectangle of the label placed right of `anchor`, vertically centred on `middle`.
QRect rightOf(const QLabel* l, const QRect& anchor, int gap, int middle) {
  return {QPoint(anchor.right() + 1 + gap, middle - l->height() / 2), l->size()};
}

}  // namespace

AnswerMarks::AnswerMarks(DrillPort& port, AnswerSheet& sheet)
    : port_(port), sheet_(sheet), total_(newLabel("answerMark")), score_(newLabel("answerScore")) {
  for (int k = 0; k < kColumnLines; ++k)
    lines_[static_cast<std::size_t>(k)] = newLabel(QStringLiteral("answerMark%1").arg(k + 1));
}

AnswerMarks::~AnswerMarks() {
  for (const QPointer<QLabel>& l : all_) delete l.data();
}

QLabel* AnswerMarks::newLabel(const QString& name) {
  auto* l = new QLabel(port_.widget());
  l->setObjectName(name);
  l->setTextFormat(Qt::PlainText);
  l->setMargin(0);
  l->hide();
  all_ << l;
  return l;
}

layout::ColumnRoom AnswerMarks::columnRoom() const {
  layout::ColumnRoom room;
  if (!sheet_.used()) return room;
  // Widths measured large, where hinting hardly matters, per point of the column's font.
  constexpr double kMeasured = 100;
  const QFontMetricsF fm(port_.font(kMeasured, true));
  const auto& problems = sheet_.problems();
  for (int k = 0; k < static_cast<int>(problems.size()) && k < kColumnLines; ++k) {
    if (!problems[static_cast<std::size_t>(k)].total) continue;
    const QString shown =
        answers::markText(problems[static_cast<std::size_t>(k)], port_.grouping()).shown;
    const double twips = kMarkGap * kTwipsPerPoint +
                         kMarkScale * fm.horizontalAdvance(shown) / kMeasured * pf::kTwipsPerPixel;
    double& after = room.after[static_cast<std::size_t>(k / 5)];
    after = std::max(after, twips);
  }
  // The columns end above the panel, with a margin.
  const QRect panel = port_.panelArea();
  if (!panel.isEmpty()) room.bottom = (panel.top() - kGap) * pf::kTwipsPerPixel;
  return room;
}

void AnswerMarks::refresh() {
  for (QLabel* l : all_)
    if (l) l->hide();
  if (!sheet_.used() || sheet_.showing() == Showing::Nothing) return;
  QPalette palette = port_.widget()->palette();
  palette.setColor(QPalette::WindowText, pf::toQColor(port_.settings().textColour));
  for (QLabel* l : all_)
    if (l) l->setPalette(palette);
  QList<QRect> taken = port_.takenAreas();
  placeTotalMark(taken);
  placeColumnMarks(taken);
  placeScore(taken);
}

void AnswerMarks::placeTotalMark(QList<QRect>& taken) {
  const auto& problems = sheet_.problems();
  const int k = sheet_.shownProblem();
  if (sheet_.showing() != Showing::Total || k < 0 || k >= static_cast<int>(problems.size()) ||
      !problems[static_cast<std::size_t>(k)].marked)
    return;
  const QRect anchor = port_.totalArea();
  if (anchor.isEmpty()) return;
  const QRect area = port_.displayArea();
  // About a third of the total's height, and smaller where that does not fit.
  const double start = std::clamp(anchor.height() / kPixelsPerPoint * 0.3, 14.0, 56.0);
  setMark(total_, answers::markText(problems[static_cast<std::size_t>(k)], port_.grouping()));
  QRect r;
  for (double points = start; points >= kMinPoints && r.isEmpty(); points *= kShrink) {
    total_->setFont(port_.font(points, true));
    total_->adjustSize();
    const QSize s = total_->size();
    const QRect tries[] = {
        rightOf(total_, anchor, kGap, anchor.center().y()),
        {QPoint(anchor.center().x() - s.width() / 2, anchor.bottom() + 1 + kGap), s},
        {QPoint(anchor.left() - kGap - s.width(), anchor.center().y() - s.height() / 2), s},
    };
    for (const QRect& t : tries)
      if (space::fits(t, area, taken)) {
        r = t;
        break;
      }
  }
  if (r.isEmpty()) r = rightOf(total_, anchor, kGap, anchor.center().y());
  total_->move(r.topLeft());
  total_->show();
  taken << r;
}

void AnswerMarks::placeColumnMarks(QList<QRect>& taken) {
  if (sheet_.showing() != Showing::Columns) return;
  const auto& problems = sheet_.problems();
  for (int column = 0; column < 4; ++column) {
    const DrillPort::Column c = port_.answerColumn(column);
    if (c.text.isEmpty()) continue;
    const QFont font = port_.font(c.points * kMarkScale, true);
    const int gap = static_cast<int>(kMarkGap * c.points * kPixelsPerPoint);
    const int first = 5 * column;
    const int count = std::min<int>(5, static_cast<int>(problems.size()) - first);
    for (int line = 0; line < count; ++line) {
      const auto& p = problems[static_cast<std::size_t>(first + line)];
      if (!p.marked) continue;
      QLabel* mark = lines_[static_cast<std::size_t>(first + line)];
      setMark(mark, answers::markText(p, port_.grouping()));
      mark->setFont(font);
      mark->adjustSize();
      const QRect r =
          rightOf(mark, c.text, gap, c.text.top() + c.linePitch * line + c.linePitch / 2);
      mark->move(r.topLeft());
      mark->show();
      taken << r;
    }
  }
}

void AnswerMarks::placeScore(QList<QRect>& taken) {
  const int problems = sheet_.markedCount();
  // Only while the totals it counts are on screen.
  bool columns = false;
  for (int c = 0; c < 4; ++c) columns = columns || !port_.answerColumn(c).text.isEmpty();
  const bool shown = sheet_.showing() == Showing::Columns
                         ? columns
                         : sheet_.complete() && !port_.totalArea().isEmpty();
  if (problems < 2 || !shown) return;
  const QString text = answers::scoreText(sheet_.correctCount(), problems);
  score_->setText(text);
  score_->setAccessibleName(QStringLiteral("正解数"));
  score_->setAccessibleDescription(text);
  using C = space::Corner;
  for (double points = kScorePoints; points >= kMinPoints; points *= kShrink) {
    score_->setFont(port_.font(points, true));
    score_->adjustSize();
    if (const auto at =
            space::freeCorner(port_.displayArea(), score_->size(), taken,
                              {C::TopRight, C::BottomRight, C::TopLeft, C::BottomLeft})) {
      score_->move(*at);
      score_->show();
      taken << QRect(*at, score_->size());
      return;
    }
  }
}
