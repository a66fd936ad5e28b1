// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QRegion>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/refresh_grid.h"
#include "platform/tick_runner.h"
#include "platform/wayland_presentation.h"

class QWidget;

namespace pf {

// Paints a tick's changes into the window's back buffer and sends them to
// the screen. While a tick's handler runs, the controls note the rectangles
// they change; Qt's own repaints wait until the change has been sent. On a
// compositor that reports when each frame was shown (Wayland's
// presentation-time protocol), every change is sent so that it lands on the
// refresh nearest its due time.
class FramePresenter final : public QObject, public TickStages {
 public:
  static FramePresenter& instance();
  // The rectangle r of w (in w's coordinates) looks different now; only
  // recorded while a tick is collecting.
  static void note(const QWidget* w, const QRect& r);

  void collect() override;
  // Paints what was noted into the back buffers; the screen is unchanged.
  void paint() override;
  // Sends what paint() painted to the screen, meant to be seen at seenNs,
  // then lets Qt repaint whatever else changed meanwhile.
  void show(std::int64_t seenNs) override;
  Slot slot(std::int64_t dueNs, std::int64_t nowNs) const override;

  // Every frame the compositor reports shown; for measurements.
  std::function<void(const PresentedFrame&)> onPresented;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void release();
  void presented(const PresentedFrame& frame);

  bool collecting_ = false;
  bool holding_ = false;
  // Windows may go away between a tick and its deadline.
  struct Pending {
    QPointer<QWidget> window;
    QRegion region;
  };
  std::map<QWidget*, Pending> dirty_, painted_;
  std::vector<QPointer<QWidget>> held_;
  RefreshGrid refreshes_;
  bool presentationTried_ = false;
  std::unique_ptr<WaylandPresentation> presentation_;
};

}  // namespace pf
