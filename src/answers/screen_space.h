#pragma once

#include <QList>
#include <QObject>
#include <QRect>
#include <functional>
#include <initializer_list>

class QLabel;
class QWidget;

// Where the window's own labels put their text, so that the answer field and
// the marks can go where they cover none of it. All rectangles are in the
// coordinates of the top-level window.
namespace answers {

// The rectangle a label's text takes; empty when the label shows nothing.
QRect textArea(const QWidget* window, const QLabel* label);

// The text of every display label that shows some, and the panel; with
// `flashBand`, also the band in which the numbers are flashed while that
// label is shown (kept free of whatever stays up while numbers may come).
QList<QRect> occupiedAreas(const QWidget* window, bool flashBand = false);

// The area above the panel, where the display labels live.
QRect displayArea(const QWidget* window);

// Whether a rectangle lies inside `area` and overlaps nothing in `taken`.
bool fits(const QRect& r, const QRect& area, const QList<QRect>& taken);

enum class Corner { BottomLeft, BottomRight, TopRight, TopLeft };

// The first corner of the display, in the order given, where a widget of
// `size` fits; the first corner if none.
QPoint freeCorner(const QWidget* window, QSize size, const QList<QRect>& taken,
                  std::initializer_list<Corner> order = {Corner::BottomLeft, Corner::BottomRight,
                                                         Corner::TopRight, Corner::TopLeft});

// Calls `moved` whenever a display label, the panel or the window is shown,
// hidden, moved or resized: what sits beside them must follow.
class DisplayWatcher : public QObject {
 public:
  DisplayWatcher(QWidget* window, std::function<void()> moved);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  std::function<void()> moved_;
};

}  // namespace answers
