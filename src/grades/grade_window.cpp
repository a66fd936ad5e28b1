// SPDX-License-Identifier: GPL-3.0-or-later
#include "grades/grade_window.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "host/drill_port.h"

namespace {

constexpr int kMargin = 24;
constexpr int kGap = 8;
constexpr int kTitleBar = 32;  // room for a window manager's title bar

QLabel* line(QWidget* parent, const char* objectName, int pointSize) {
  auto* l = new QLabel(parent);
  l->setObjectName(QString::fromLatin1(objectName));
  l->setTextFormat(Qt::PlainText);
  l->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
  QFont f = l->font();
  f.setPointSize(pointSize);
  l->setFont(f);
  return l;
}

}  // namespace

GradeWindow::GradeWindow(DrillPort& port)
    : QWidget(port.widget(), Qt::Dialog),
      port_(port),
      title_(line(this, "gradeTitle", 16)),
      facts_(line(this, "gradeFacts", 12)),
      hint_(line(this, "gradeHint", 12)),
      outcome_(line(this, "gradeOutcome", 18)),
      detail_(line(this, "gradeDetail", 12)),
      highest_(line(this, "gradeHighest", 12)),
      start_(new QPushButton(QStringLiteral("始める"), this)),
      close_(new QPushButton(QStringLiteral("閉じる"), this)) {
  setObjectName(QStringLiteral("gradeWindow"));
  setWindowTitle(QStringLiteral("級・段位認定"));
  setAccessibleName(QStringLiteral("級・段位認定"));
  start_->setObjectName(QStringLiteral("gradeStart"));
  close_->setObjectName(QStringLiteral("gradeClose"));
  start_->setDefault(true);
  QFont big = start_->font();
  big.setPointSize(12);
  start_->setFont(big);
  close_->setFont(big);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(start_);
  buttons->addWidget(close_);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(16, 12, 16, 12);
  for (QLabel* l : {title_, facts_, hint_, outcome_, detail_, highest_}) column->addWidget(l);
  column->addLayout(buttons);
  hint_->setWordWrap(true);
  detail_->setWordWrap(true);
  setMinimumWidth(380);

  QObject::connect(start_, &QPushButton::clicked, this, [this] {
    if (onStart) onStart();
  });
  QObject::connect(close_, &QPushButton::clicked, this, &QWidget::close);
}

void GradeWindow::showPlan(const QString& title, const QStringList& facts, const QString& hint) {
  title_->setText(title);
  facts_->setText(facts.join('\n'));
  hint_->setText(hint);
  hint_->show();
  facts_->show();
  for (QLabel* l : {outcome_, detail_, highest_}) l->clear(), l->hide();
  setAccessibleDescription((facts + QStringList{hint}).join(QStringLiteral("。")));
  start_->show();
  placeBesideMain();
  show();
  raise();
  activateWindow();
  start_->setFocus();
}

void GradeWindow::showOutcome(const QString& outcome, const QString& detail,
                              const QString& highest) {
  outcome_->setText(outcome);
  detail_->setText(detail);
  highest_->setText(highest);
  // What the grade set was read before the start; the outcome alone is shorter.
  hint_->hide();
  facts_->hide();
  outcome_->show();
  detail_->setVisible(!detail.isEmpty());
  highest_->setVisible(!highest.isEmpty());
  setAccessibleDescription(QStringList({outcome, detail, highest}).join(QStringLiteral("。")));
  start_->hide();
  placeBesideMain();
  show();
  raise();
  activateWindow();
  close_->setFocus();
}

QString GradeWindow::title() const { return title_->text(); }
QString GradeWindow::outcome() const { return outcome_->text(); }

void GradeWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (onClose) onClose();
}

// In the main window's top-left corner, clear of the numbers in the middle;
// once the answer columns are up, below them (over the panel if need be),
// else beside the main window on its screen.
void GradeWindow::placeBesideMain() {
  adjustSize();
  QWidget* main = port_.widget();
  // The title bar a window manager adds is not known before it is shown.
  const QSize size = frameSize().expandedTo(this->size() + QSize(0, kTitleBar));
  QRect columns;
  for (int c = 0; c < 4; ++c) columns |= port_.answerColumn(c).text;
  // Their marks stand beside them: the whole band of the columns stays in sight.
  const QRect band = QRect(0, columns.top(), main->width(), columns.height()) & main->rect();
  const QPoint origin = main->mapToGlobal(QPoint(0, 0));
  const QRect screen = main->screen()->availableGeometry();
  const QRect inside(origin, main->size());
  const QPoint tries[] = {
      origin + QPoint(kMargin, kMargin),
      origin + QPoint(kMargin, (columns.isEmpty() ? 0 : band.bottom()) + kGap),
      QPoint(inside.right() + 1 + kMargin, inside.top()),
      QPoint(inside.left() - kMargin - size.width(), inside.top()),
      QPoint(inside.left(), inside.bottom() + 1 + kMargin),
  };
  // Where none is free: below the columns all the same, never over them.
  QPoint at = tries[1];
  for (std::size_t k = 0; k < std::size(tries); ++k) {
    const QRect r(tries[k], size);
    const bool onMain = k < 2;
    if ((onMain ? inside.contains(r) : screen.contains(r)) &&
        (columns.isEmpty() || !r.intersects(band.translated(origin)))) {
      at = tries[k];
      break;
    }
  }
  move(at);
}
