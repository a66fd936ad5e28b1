// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/sheet_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "answers/answer_sheet.h"
#include "answers/answer_text.h"
#include "engine/number_text.h"
#include "host/drill_port.h"
#include "host/screen_space.h"

namespace {

constexpr int kPerColumn = 5;  // as in the answer columns
constexpr int kPad = 4;        // pixels inside a problem's frame
constexpr double kLargest = 14, kSmallest = 8;
const QString kHint = QStringLiteral("＋ − ・ クリックで問題を選ぶ");

QFont headFont(const DrillPort& port, double points) { return port.font(points * 1.3, true); }
QFont cellFont(const DrillPort& port, double points) { return port.font(points, true); }
QFont hintFont(const DrillPort& port, double points) { return port.font(points * 0.8, false); }

}  // namespace

SheetView::SheetView(DrillPort& port, AnswerSheet& sheet)
    : QWidget(port.widget()), port_(port), sheet_(sheet) {
  setObjectName(QStringLiteral("answerSheet"));
  setAccessibleName(QStringLiteral("解答用紙"));
  setFocusPolicy(Qt::NoFocus);
  hide();
}

QString SheetView::answerText(int k) const {
  const auto& problems = sheet_.problems();
  if (k == sheet_.current() && !sheet_.field().isEmpty())
    return answers::shownNumber(sheet_.field(), port_.grouping());
  if (k < 0 || k >= static_cast<int>(problems.size()) || !problems[k].typed) return {};
  return answers::answerText(*problems[k].typed, port_.grouping());
}

SheetView::Metrics SheetView::measure(double points, bool whole) const {
  Metrics m;
  const QFontMetrics head(headFont(port_, points)), cell(cellFont(port_, points));
  const QString typed = answers::shownNumber(sheet_.field(), port_.grouping());
  m.box =
      std::max(head.horizontalAdvance(QStringLiteral("000000")), head.horizontalAdvance(typed)) +
      2 * kPad;
  m.head = head.height() + 2 * kPad;
  const int headWidth =
      head.horizontalAdvance(answers::problemName(sheet_.sheetSize() - 1) + QStringLiteral("　")) +
      m.box;
  if (!whole) {
    m.size = QSize(headWidth, m.head);
    return m;
  }
  int answer = cell.horizontalAdvance(QStringLiteral("00000"));
  for (int k = 0; k < sheet_.sheetSize(); ++k)
    answer = std::max(answer, cell.horizontalAdvance(answerText(k)));
  m.number = cell.horizontalAdvance(QStringLiteral("20"));
  m.cell = m.number + cell.horizontalAdvance(QStringLiteral("　")) + answer + 2 * kPad;
  m.row = cell.height() + 2 * kPad;
  m.gap = cell.horizontalAdvance(QStringLiteral("　"));
  const int columns = (sheet_.sheetSize() + kPerColumn - 1) / kPerColumn;
  const int rows = std::min(sheet_.sheetSize(), kPerColumn);
  const int hint = QFontMetrics(hintFont(port_, points)).horizontalAdvance(kHint);
  m.size = QSize(std::max({headWidth, columns * (m.cell + m.gap) - m.gap, hint}),
                 m.head + rows * m.row + QFontMetrics(hintFont(port_, points)).height());
  return m;
}

void SheetView::refresh() {
  if (!sheet_.sheetShown()) {
    hide();
    return;
  }
  const QRect area = port_.displayArea();
  const QList<QRect> taken = port_.takenAreas(true);
  using C = space::Corner;
  std::optional<QPoint> at;
  // The whole sheet as large as it fits, else the current problem alone.
  for (bool whole : {true, false}) {
    for (double points = kLargest; points >= kSmallest && !at; points -= 1) {
      m_ = measure(points, whole);
      at = space::freeCorner(area, m_.size, taken,
                             {C::TopLeft, C::TopRight, C::BottomLeft, C::BottomRight});
      points_ = points, whole_ = whole;
    }
    if (at) break;
  }
  if (!at) at = area.topLeft();
  setGeometry(QRect(*at, m_.size));
  describe();
  raise();
  show();
  update();
}

QRect SheetView::problemRect(int k) const {
  if (!whole_ || k < 0 || k >= sheet_.sheetSize()) return {};
  return {(k / kPerColumn) * (m_.cell + m_.gap), m_.head + (k % kPerColumn) * m_.row, m_.cell,
          m_.row};
}

void SheetView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor ink = pf::toQColor(port_.settings().textColour);
  QColor faint = ink;
  faint.setAlphaF(0.45);
  const int k = sheet_.current();
  // The line of the current problem: its name and a box with the digits.
  p.setFont(headFont(port_, points_));
  p.setPen(ink);
  const QString name = k >= 0 ? answers::problemName(k) : QString();
  const QRect head(0, 0, width(), m_.head);
  p.drawText(head.adjusted(kPad, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
  const int nameWidth = p.fontMetrics().horizontalAdvance(
      answers::problemName(sheet_.sheetSize() - 1) + QStringLiteral("　"));
  const QRect box(nameWidth, 1, m_.box, m_.head - 2);
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.drawText(box.adjusted(kPad, 0, -kPad, 0), Qt::AlignRight | Qt::AlignVCenter,
             answers::shownNumber(sheet_.field(), port_.grouping()));
  if (!whole_) return;
  p.setFont(cellFont(port_, points_));
  for (int n = 0; n < sheet_.sheetSize(); ++n) {
    const QRect r = problemRect(n).adjusted(kPad, 0, -kPad, 0);
    p.setPen(sheet_.reachable(n) ? ink : faint);
    p.drawText(QRect(r.left(), r.top(), m_.number, r.height()), Qt::AlignRight | Qt::AlignVCenter,
               QString::number(n + 1));
    p.setPen(ink);
    p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, answerText(n));
    if (n == k) p.drawRect(problemRect(n).adjusted(1, 1, -2, -2));
  }
  p.setFont(hintFont(port_, points_));
  p.setPen(faint);
  p.drawText(rect(), Qt::AlignLeft | Qt::AlignBottom, kHint);
}

void SheetView::mousePressEvent(QMouseEvent* event) {
  for (int k = 0; k < sheet_.sheetSize() && event->button() == Qt::LeftButton; ++k)
    if (problemRect(k).contains(event->position().toPoint())) {
      sheet_.moveTo(k);
      return;
    }
  QWidget::mousePressEvent(event);
}

// What a screen reader says of the sheet: the current problem, then each
// problem with its answer.
void SheetView::describe() {
  QStringList lines;
  if (sheet_.current() >= 0)
    lines << answers::problemName(sheet_.current()) + QStringLiteral("に入力");
  for (int k = 0; k < sheet_.sheetSize(); ++k) {
    const QString a = answerText(k);
    lines << answers::problemName(k) + QStringLiteral(" ") +
                 (a.isEmpty() ? QStringLiteral("未記入") : a);
  }
  setAccessibleDescription(lines.join(QStringLiteral("、")));
}
