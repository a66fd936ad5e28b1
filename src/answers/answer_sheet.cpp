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
      break;
    case K::CountdownEnded:
      if (!known) return;
      // Digits still in the field were typed for the problem before.
      commitField();
      current_ = e.index;
      at(current_);
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
    case K::RunEnded:
      if (!active_) return;
      runOver_ = true;
      if (field_.isEmpty()) moveToFirstUnanswered();
      break;
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
  return active_ && flashing_ && current_ >= 0 && current_ < static_cast<int>(problems_.size()) &&
         !problems_[current_].marked;
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
  if (runOver_) moveToFirstUnanswered();
  changed();
  return true;
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
  active_ = flashing_ = runOver_ = used_ = false;
  showing_ = Showing::Nothing;
  shownProblem_ = -1;
}

void AnswerSheet::commitField() {
  if (field_.isEmpty()) return;
  if (current_ >= 0 && current_ < static_cast<int>(problems_.size()) && !problems_[current_].marked)
    problems_[current_].typed = field_.toDouble();
  field_.clear();
}

void AnswerSheet::mark(int problem, double total) {
  Problem& p = at(problem);
  p.marked = true;
  p.total = total;
  MarkedAnswer answer;
  answer.problem = problem;
  answer.total = total;
  answer.typed = p.typed;
  tellEach(&AnswerListener::onAnswerMarked, answer);
}

void AnswerSheet::tellStopped() {
  for (int k = 0; k < static_cast<int>(problems_.size()); ++k) {
    const Problem& p = problems_[static_cast<std::size_t>(k)];
    if (p.typed && !p.marked)
      tellEach(&AnswerListener::onAnswerStopped, MarkedAnswer{k, p.total.value_or(0), p.typed});
  }
}

void AnswerSheet::tellEach(void (AnswerListener::*tell)(const MarkedAnswer&),
                           const MarkedAnswer& answer) {
  const auto listeners = listeners_;
  for (AnswerListener* l : listeners) {
    try {
      (l->*tell)(answer);
    } catch (const std::exception& ex) {
      qWarning("pelatto: a feature failed on a marked answer (%s)", ex.what());
    } catch (...) {
      qWarning("pelatto: a feature failed on a marked answer");
    }
  }
}

void AnswerSheet::moveToFirstUnanswered() {
  for (int k = 0; k < static_cast<int>(problems_.size()); ++k)
    if (!problems_[k].typed && !problems_[k].marked) {
      current_ = k;
      return;
    }
}

AnswerSheet::Problem& AnswerSheet::at(int problem) {
  if (problem >= static_cast<int>(problems_.size()))
    problems_.resize(static_cast<std::size_t>(problem) + 1);
  return problems_[static_cast<std::size_t>(problem)];
}

void AnswerSheet::changed() {
  if (changed_) changed_();
}
