#pragma once

#include "host/drill_port.h"

class frmPelatto;

// The window as the features see it.
class WindowPort final : public DrillPort {
 public:
  explicit WindowPort(frmPelatto& window) : w_(window) {}

  void subscribe(DrillListener* listener, Stage stage = Stage::Features) override;
  void unsubscribe(DrillListener* listener) override;
  QWidget* widget() const override;
  pf::Clock& clock() const override;
  DrillSettings settings() const override;
  bool grouping() const override;
  QFont font(double points, bool bold) const override;
  void applySettings(const DrillSettings& s) override;
  bool canStart() const override;
  void pressStart() override;
  void pressHold() override;
  void pressAbort() override;
  void pressAnswer() override;
  void scriptDraws(std::deque<float> draws) override;

 private:
  frmPelatto& w_;
};
