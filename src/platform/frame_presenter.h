#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <map>
#include <vector>

class QWidget;

namespace pf {

// Paints a tick's changes early into the window's back buffer and shows
// them at the tick's deadline. While a tick's handler runs, the controls
// note the rectangles they change; Qt's own repaints wait until the change
// has been shown, so nothing reaches the screen before its time.
class FramePresenter final : public QObject {
 public:
  static FramePresenter& instance();
  // The rectangle r of w (in w's coordinates) looks different now; only
  // recorded while a tick is collecting.
  static void note(const QWidget* w, const QRect& r);

  void beginCollecting();
  // Paints what was noted into the back buffers; the screen is unchanged.
  void paint();
  // Sends what paint() painted to the screen.
  void show();
  // Lets Qt repaint whatever else changed meanwhile (the same pixels where
  // the early paint went).
  void release();

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  bool collecting_ = false;
  bool holding_ = false;
  // Windows may go away between a tick and its deadline.
  struct Pending {
    QPointer<QWidget> window;
    QRegion region;
  };
  std::map<QWidget*, Pending> dirty_, painted_;
  std::vector<QPointer<QWidget>> held_;
};

}  // namespace pf
