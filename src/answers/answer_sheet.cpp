// SPDX-License-Identifier: GPL-3.0-or-later
#include "answers/answer_sheet.h"

#include <QtGlobal>
#include <algorithm>
#include <exception>

namespace {
// A run has at most 20 problems; anything far beyond is no problem index.
constexpr int kMaxProblems = 100;
}  // namespace

void AnswerSheet::subscribe(AnswerListener* listener) {
  if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
    listeners_.push_back(listener);
}

void AnswerSheet::unsubscribe(AnswerListener* listener) { std::erase(listeners_, listener); }

void AnswerSheet::onDrillEvent(const DrillEvent& e) {
  using K = DrillEvent::Kind;
  const bool known = active_ && e.index >= 0 && e.index < kMaxProblems;
  switch (e.kind) {
    case K::Started:
      tellStopped();
      reset();
      active_ = true;
      later_ = e.settings.mode == AnswerMode::Later;
      planned_ = std::clamp(e.settings.runLength, 1, kMaxProblems);
      break;
    case K::CountdownEnded:
      if (!known) return;
      // Digits still in the field were typed for the problem shown before.
      commitField();
      current_ = e.index;
      at(current_);
      begun_ = std::max(begun_, e.index + 1);
      flashing_ = false;
      break;
    case K::NumberShown:
      if (!active_ || current_ < 0 || flashing_) return;
      flashing_ = true;
      return;
    case K::SeriesEnded:
      if (!known) return;
      at(e.index).total = e.value;
      return;
    case K::AnswerWaitEnded:
      // Enter at rest starts a drill again, as without typed answers.
      if (field_.isEmpty()) return;
      commitField();
      break;
    case K::AnswerRevealed:
      if (!known) return;
      commitField();
      if (!at(e.index).marked) mark(e.index, e.value);
      showing_ = Showing::Total;
      shownProblem_ = e.index;
      break;
    case K::ColumnsShown:
      if (!active_ || !runOver_) return;
      commitField();
      for (int k = 0; k < std::min<int>(e.index, static_cast<int>(problems_.size())); ++k)
        if (problems_[k].total && !problems_[k].marked) mark(k, *problems_[k].total);
      showing_ = Showing::Columns;
      break;
    case K::NextProblem:
      showing_ = Showing::Nothing;
      shownProblem_ = -1;
      break;
    case K::RunEnded: {
      if (!active_) return;
      runOver_ = true;
      commitField();
      // Where the learner left off: after the last problem answered.
      int last = -1;
      for (int k = 0; k < static_cast<int>(problems_.size()); ++k)
        if (problems_[k].typed) last = k;
      if (const int next = nextUnanswered(later_ ? last : -1); next >= 0) current_ = next;
      break;
    }
    case K::Aborted:
      tellStopped();
      reset();
      break;
    case K::Closed:
      tellStopped();
      return;
    case K::SettingsChanged:
      break;  // colours and grouping of what is shown
    default:
      return;
  }
  changed();
}

bool AnswerSheet::accepting() const {
  if (!active_ || current_ < 0 || current_ >= static_cast<int>(problems_.size()) ||
      problems_[current_].marked)
    return false;
  // The newest problem from its first number on; one gone back to at once.
  return flashing_ || (later_ && current_ < begun_ - 1);
}

bool AnswerSheet::typeDigit(int digit) {
  if (!accepting() || digit < 0 || digit > 9) return false;
  // Further digits are swallowed: the key was meant for the field.
  if (field_.size() < kMaxDigits) field_ += QChar(u'0' + digit);
  used_ = true;
  changed();
  return true;
}

bool AnswerSheet::erase() {
  if (field_.isEmpty()) return false;
  field_.chop(1);
  changed();
  return true;
}

bool AnswerSheet::commit() {
  if (field_.isEmpty()) return false;
  commitField();
  if (runOver_) {
    const int next = nextUnanswered(current_);
    if (later_)
      current_ = next >= 0 ? next : (current_ + 1) % sheetSize();
    else if (next >= 0)
      current_ = next;
  }
  changed();
  return true;
}

bool AnswerSheet::moveTo(int problem) {
  if (!sheetShown() || !reachable(problem)) return false;
  commitField();
  current_ = problem;
  at(problem);
  changed();
  return true;
}

bool AnswerSheet::step(int by) {
  if (!sheetShown()) return false;
  const int last = runOver_ ? sheetSize() - 1 : begun_ - 1;
  return moveTo(std::clamp(current_ + by, 0, std::max(0, last)));
}

bool AnswerSheet::clearAnswer() {
  if (!sheetShown() || !field_.isEmpty() || current_ < 0 ||
      current_ >= static_cast<int>(problems_.size()) || problems_[current_].marked ||
      !problems_[current_].typed)
    return false;
  problems_[current_].typed.reset();
  changed();
  return true;
}

bool AnswerSheet::sheetShown() const { return active_ && later_ && showing_ != Showing::Columns; }

int AnswerSheet::sheetSize() const {
  const int known = static_cast<int>(problems_.size());
  return runOver_ ? std::max(1, known) : std::max(known, planned_);
}

bool AnswerSheet::reachable(int problem) const {
  return problem >= 0 && problem < sheetSize() && (runOver_ || problem < begun_);
}

int AnswerSheet::markedCount() const {
  return static_cast<int>(
      std::count_if(problems_.begin(), problems_.end(), [](const Problem& p) { return p.marked; }));
}

int AnswerSheet::correctCount() const {
  return static_cast<int>(std::count_if(problems_.begin(), problems_.end(), [](const Problem& p) {
    return p.marked && p.typed && p.total && *p.typed == *p.total;
  }));
}

bool AnswerSheet::complete() const {
  return runOver_ && !problems_.empty() &&
         std::all_of(problems_.begin(), problems_.end(),
                     [](const Problem& p) { return p.marked || !p.total; });
}

void AnswerSheet::reset() {
  problems_.clear();
  field_.clear();
  current_ = -1;
  begun_ = planned_ = 0;
  active_ = later_ = flashing_ = runOver_ = used_ = false;
  showing_ = Showing::Nothing;
  shownProblem_ = -1;
}

void AnswerSheet::commitField() {
  if (field_.isEmpty()) return;
  const bool open =
      current_ >= 0 && current_ < static_cast<int>(problems_.size()) && !problems_[current_].marked;
  const double typed = field_.toDouble();
  field_.clear();
  if (!open) return;
  problems_[current_].typed = typed;
  tell([&](AnswerListener* l) { l->onAnswerCommitted(current_, typed); });
}

void AnswerSheet::mark(int problem, double total) {
  Problem& p = at(problem);
  p.marked = true;
  p.total = total;
  MarkedAnswer answer;
  answer.problem = problem;
  answer.total = total;
  answer.typed = p.typed;
  tell([&](AnswerListener* l) { l->onAnswerMarked(answer); });
}

void AnswerSheet::tellStopped() {
  for (int k = 0; k < static_cast<int>(problems_.size()); ++k) {
    const Problem& p = problems_[static_cast<std::size_t>(k)];
    if (p.typed && !p.marked) {
      const MarkedAnswer stopped{k, p.total.value_or(0), p.typed};
      tell([&](AnswerListener* l) { l->onAnswerStopped(stopped); });
    }
  }
}

void AnswerSheet::tell(const std::function<void(AnswerListener*)>& what) {
  const auto listeners = listeners_;
  for (AnswerListener* l : listeners) {
    try {
      what(l);
    } catch (const std::exception& ex) {
      qWarning("pelatto: a feature failed on a typed answer (%s)", ex.what());
    } catch (...) {
      qWarning("pelatto: a feature failed on a typed answer");
    }
  }
}

int AnswerSheet::nextUnanswered(int after) const {
  const int n = static_cast<int>(problems_.size());
  for (int k = 1; k <= n; ++k) {
    const int at = (after + k + n) % n;
    if (!problems_[at].typed && !problems_[at].marked) return at;
  }
  return -1;
}

AnswerSheet::Problem& AnswerSheet::at(int problem) {
  if (problem >= static_cast<int>(problems_.size()))
    problems_.resize(static_cast<std::size_t>(problem) + 1);
  return problems_[static_cast<std::size_t>(problem)];
}

void AnswerSheet::changed() {
  if (changed_) changed_();
}
