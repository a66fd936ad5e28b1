#include "answers/screen_space.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QWidget>

namespace answers {

namespace {

constexpr int kMargin = 8;  // pixels between the corner items and the edges

const char* const kDisplayLabels[] = {"lbl1", "lbl2", "lbl3", "lbl3b", "lbl4", "lbl5",
                                      "lbl6", "lbl7", "lbl8", "lbl9",  "lbl10"};

bool shown(const QWidget* window, const QWidget* w) { return w && w->isVisibleTo(window); }

}  // namespace

QRect textArea(const QWidget* window, const QLabel* label) {
  if (!shown(window, label) || label->text().isEmpty()) return {};
  const QRect inside(QPoint(0, 0), label->size());
  const QRect text =
      QFontMetrics(label->font()).boundingRect(inside, int(label->alignment()), label->text());
  return text.translated(label->mapTo(window, QPoint(0, 0)));
}

QList<QRect> occupiedAreas(const QWidget* window, bool flashBand) {
  QList<QRect> taken;
  for (const char* name : kDisplayLabels)
    if (QRect r = textArea(window, window->findChild<QLabel*>(name)); !r.isEmpty()) taken << r;
  // The flashed numbers come and go in one band: keep all of it free.
  if (const auto* lbl1 = window->findChild<QLabel*>("lbl1"); flashBand && shown(window, lbl1)) {
    const QPoint at = lbl1->mapTo(window, QPoint(0, 0));
    taken << QRect(at, QSize(lbl1->width(), QFontMetrics(lbl1->font()).height()));
  }
  if (const auto* panel = window->findChild<QWidget*>("fra1"); shown(window, panel))
    taken << panel->geometry();
  return taken;
}

QRect displayArea(const QWidget* window) {
  const auto* panel = window->findChild<QWidget*>("fra1");
  const int bottom = panel && panel->y() > 0 ? panel->y() : window->height();
  return {0, 0, window->width(), bottom};
}

bool fits(const QRect& r, const QRect& area, const QList<QRect>& taken) {
  if (!area.contains(r)) return false;
  for (const QRect& t : taken)
    if (t.intersects(r)) return false;
  return true;
}

QPoint freeCorner(const QWidget* window, QSize size, const QList<QRect>& taken,
                  std::initializer_list<Corner> order) {
  const QRect area = displayArea(window).adjusted(kMargin, kMargin, -kMargin, -kMargin);
  const auto at = [&](Corner c) -> QPoint {
    const int right = area.right() + 1 - size.width(), bottom = area.bottom() + 1 - size.height();
    switch (c) {
      case Corner::BottomLeft:
        return {area.left(), bottom};
      case Corner::BottomRight:
        return {right, bottom};
      case Corner::TopRight:
        return {right, area.top()};
      case Corner::TopLeft:
        break;
    }
    return area.topLeft();
  };
  for (Corner c : order)
    if (fits(QRect(at(c), size), area, taken)) return at(c);
  return at(*order.begin());
}

DisplayWatcher::DisplayWatcher(QWidget* window, std::function<void()> moved)
    : moved_(std::move(moved)) {
  window->installEventFilter(this);
  for (const char* name : {"fra1"})
    if (auto* w = window->findChild<QWidget*>(name)) w->installEventFilter(this);
  for (const char* name : kDisplayLabels)
    if (auto* w = window->findChild<QWidget*>(name)) w->installEventFilter(this);
}

bool DisplayWatcher::eventFilter(QObject*, QEvent* event) {
  switch (event->type()) {
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::Move:
    case QEvent::Resize:
      moved_();
      break;
    default:
      break;
  }
  return false;
}

}  // namespace answers
