#include "answers/answer_marks.h"

#include <QFont>
#include <QFontMetrics>
#include <QLabel>
#include <algorithm>

#include "answers/answer_sheet.h"
#include "answers/answer_text.h"
#include "answers/screen_space.h"
#include "host/drill_port.h"

namespace {

constexpr double kMinPoints = 9;
constexpr double kShrink = 0.85;
constexpr double kScorePoints = 28;
constexpr int kGap = 10;  // pixels between a total and its mark

using Showing = AnswerSheet::Showing;

void setMark(QLabel* l, const answers::MarkText& t) {
  l->setText(t.shown);
  l->setAccessibleName(t.name);
  l->setAccessibleDescription(t.description);
}

// Sizes the label; the positions tried are beside the anchor, vertically
// centred on `middle`.
QRect rightOf(const QLabel* l, const QRect& anchor, int middle) {
  return {QPoint(anchor.right() + 1 + kGap, middle - l->height() / 2), l->size()};
}

}  // namespace

AnswerMarks::AnswerMarks(DrillPort& port, AnswerSheet& sheet)
    : port_(port), sheet_(sheet), total_(newLabel("answerMark")), score_(newLabel("answerScore")) {
  for (int k = 0; k < kColumnLines; ++k)
    lines_[static_cast<std::size_t>(k)] = newLabel(QStringLiteral("answerMark%1").arg(k + 1));
  score_->setFont(port_.font(kScorePoints, true));
}

AnswerMarks::~AnswerMarks() {
  for (const QPointer<QLabel>& l : all_) delete l.data();
}

QLabel* AnswerMarks::newLabel(const QString& name) {
  auto* l = new QLabel(port_.widget());
  l->setObjectName(name);
  l->setTextFormat(Qt::PlainText);
  l->hide();
  all_ << l;
  return l;
}

void AnswerMarks::refresh() {
  for (QLabel* l : all_)
    if (l) l->hide();
  if (!sheet_.used() || sheet_.showing() == Showing::Nothing) return;
  QPalette palette = port_.widget()->palette();
  palette.setColor(QPalette::WindowText, pf::toQColor(port_.settings().textColour));
  for (QLabel* l : all_)
    if (l) l->setPalette(palette);
  QList<QRect> taken = answers::occupiedAreas(port_.widget());
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
  QWidget* window = port_.widget();
  const auto* lbl2 = window->findChild<QLabel*>(QStringLiteral("lbl2"));
  const QRect anchor = answers::textArea(window, lbl2);
  if (anchor.isEmpty()) return;
  const QRect area = answers::displayArea(window);
  const double start = std::clamp(lbl2->font().pointSizeF() * 0.35, 14.0, 56.0);
  QRect r;
  for (bool brief : {false, true}) {
    setMark(total_,
            answers::markText(problems[static_cast<std::size_t>(k)], port_.grouping(), brief));
    for (double points = start; points >= kMinPoints; points *= kShrink) {
      total_->setFont(port_.font(points, true));
      total_->adjustSize();
      const QSize s = total_->size();
      const QRect tries[] = {
          rightOf(total_, anchor, anchor.center().y()),
          {QPoint(anchor.center().x() - s.width() / 2, anchor.bottom() + 1 + kGap), s},
          {QPoint(anchor.left() - kGap - s.width(), anchor.center().y() - s.height() / 2), s},
      };
      for (const QRect& t : tries)
        if (answers::fits(t, area, taken)) {
          r = t;
          break;
        }
      if (!r.isEmpty()) break;
    }
    if (!r.isEmpty()) break;
  }
  if (r.isEmpty()) r = rightOf(total_, anchor, anchor.center().y());
  total_->move(r.topLeft());
  total_->show();
  taken << r;
}

void AnswerMarks::placeColumnMarks(QList<QRect>& taken) {
  if (sheet_.showing() != Showing::Columns) return;
  QWidget* window = port_.widget();
  const QRect area = answers::displayArea(window);
  const auto& problems = sheet_.problems();
  for (int column = 0; column < 4; ++column) {
    const auto* label = window->findChild<QLabel*>(QStringLiteral("lbl%1").arg(6 + column));
    const QRect anchor = answers::textArea(window, label);
    if (anchor.isEmpty()) continue;
    const int pitch = QFontMetrics(label->font()).lineSpacing();
    const int first = 5 * column;
    const int count = std::min<int>(5, static_cast<int>(problems.size()) - first);
    const double start = std::max(kMinPoints, label->font().pointSizeF() * 0.6);
    // One size for the whole column, the largest at which every mark fits.
    QList<QRect> placed;
    for (bool brief : {false, true}) {
      for (double points = start; points >= kMinPoints && placed.isEmpty(); points *= kShrink) {
        for (int line = 0; line < count; ++line) {
          const auto& p = problems[static_cast<std::size_t>(first + line)];
          QLabel* mark = lines_[static_cast<std::size_t>(first + line)];
          if (!p.marked) continue;
          setMark(mark, answers::markText(p, port_.grouping(), brief));
          mark->setFont(port_.font(points, true));
          mark->adjustSize();
          const QRect r = rightOf(mark, anchor, anchor.top() + pitch * line + pitch / 2);
          if (!answers::fits(r, area, taken)) {
            placed.clear();
            break;
          }
          placed << r;
        }
      }
      if (!placed.isEmpty()) break;
    }
    for (int line = 0; line < count; ++line) {
      QLabel* mark = lines_[static_cast<std::size_t>(first + line)];
      if (!problems[static_cast<std::size_t>(first + line)].marked) continue;
      mark->move(rightOf(mark, anchor, anchor.top() + pitch * line + pitch / 2).topLeft());
      mark->show();
    }
    taken << placed;
  }
}

void AnswerMarks::placeScore(QList<QRect>& taken) {
  const int problems = sheet_.markedCount();
  const bool columns = sheet_.showing() == Showing::Columns;
  if (problems < 2 || !(columns || sheet_.complete())) return;
  const QString text = answers::scoreText(sheet_.correctCount(), problems);
  score_->setText(text);
  score_->setAccessibleName(QStringLiteral("正解数"));
  score_->setAccessibleDescription(text);
  score_->adjustSize();
  using C = answers::Corner;
  const QPoint at = answers::freeCorner(port_.widget(), score_->size(), taken,
                                        {C::TopRight, C::BottomRight, C::TopLeft, C::BottomLeft});
  score_->move(at);
  score_->show();
  taken << QRect(at, score_->size());
}
