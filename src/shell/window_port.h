// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "host/drill_port.h"

class frmPelatto;

// The window as the features see it.
class WindowPort final : public DrillPort {
 public:
  explicit WindowPort(frmPelatto& window) : w_(window) {}
  ~WindowPort() override;
  WindowPort(const WindowPort&) = delete;
  WindowPort& operator=(const WindowPort&) = delete;

  void subscribe(DrillListener* listener, Stage stage = Stage::Features) override;
  void unsubscribe(DrillListener* listener) override;
  QWidget* widget() const override;
  pf::Clock& clock() const override;
  DrillSettings settings() const override;
  bool grouping() const override;
  QFont font(double points, bool bold) const override;
  void applySettings(const DrillSettings& s) override;
  void lendSettings(const DrillSettings& s) override;
  void returnOnNextStart() override;
  void takeBackSettings() override;
  DrillSettings ownSettings() const override;
  bool canStart() const override;
  bool canHold() const override;
  bool canAnswer() const override;
  bool canAbort() const override;
  void pressStart() override;
  void pressHold() override;
  void pressAbort() override;
  void pressAnswer() override;
  void scriptDraws(std::deque<float> draws) override;
  QRect displayArea() const override;
  QRect panelArea() const override;
  QRect totalArea() const override;
  Column answerColumn(int column) const override;
  QList<QRect> takenAreas(bool flashBand = false) const override;
  void reserveBesideColumns(const layout::ColumnRoom& room) override;
  void watchLayout(QObject* owner, std::function<void()> changed) const override;
  void watchButtons(QObject* owner, std::function<void()> changed) const override;

 private:
  struct Loan {
    DrillSettings own;   // the learner's, when the loan began
    DrillSettings lent;  // what the loan set
  };
  void applyPanel(const DrillSettings& s);

  frmPelatto& w_;
  std::optional<Loan> loan_;
  std::optional<DrillSettings> settling_;  // the learner's, while a loan is set or given back
};
