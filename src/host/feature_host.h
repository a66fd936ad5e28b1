// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "answers/answer_events.h"
#include "host/drill_port.h"
#include "host/records.h"

class WindowMenu;

// What every feature around the window attaches to: the drill port, the
// window's menu with its keys, the passing note, the learner's marked
// answers and the records. A feature registers what it offers here when it
// is built and reaches nothing else of the window or of another feature.
class FeatureHost {
 public:
  explicit FeatureHost(DrillPort& port);
  ~FeatureHost();
  FeatureHost(const FeatureHost&) = delete;
  FeatureHost& operator=(const FeatureHost&) = delete;

  DrillPort& port() const { return port_; }
  // The context menu, with the window's start, hold, answer and abort first;
  // each entry's key works on the whole window.
  WindowMenu& menu() const { return *menu_; }
  // Tells the learner something in passing, in the window's corner.
  void note(const QString& text) const;

  // Every marked total, from the typed answers to whoever keeps or scores them.
  class Answers final : public AnswerListener {
   public:
    void subscribe(AnswerListener* listener);
    void unsubscribe(AnswerListener* listener);
    void onAnswerMarked(const MarkedAnswer& answer) override;
    void onAnswerCommitted(int problem, double typed) override;
    void onAnswerStopped(const MarkedAnswer& answer) override;

   private:
    std::vector<AnswerListener*> listeners_;
  };
  Answers& answers() { return answers_; }

  // Where problems and grade tests are kept; null while nothing keeps them.
  HistoryApi* records() const { return records_; }
  void setRecords(HistoryApi* records) { records_ = records; }

  // Flashes a recorded problem again, where a feature offers it; false when
  // it cannot (and the learner has been told why).
  bool replay(const ProblemRecord& problem) const { return replay_ && replay_(problem); }
  void setReplay(std::function<bool(const ProblemRecord&)> replay) { replay_ = std::move(replay); }

 private:
  DrillPort& port_;
  std::unique_ptr<WindowMenu> menu_;
  Answers answers_;
  HistoryApi* records_ = nullptr;
  std::function<bool(const ProblemRecord&)> replay_;
};
