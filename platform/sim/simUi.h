// The simulated user: message boxes answered from a queue and recorded.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/port/kvrPortUi.h"

namespace ombrant::sim {

struct MessageBoxRecord {
  port::HWnd owner = 0;
  std::string text;
  std::string caption;
  std::uint32_t type = 0;
  int answer = 0;         // what MessageBox returned
  bool answered = false;  // false: no answer was queued for this box
};

class SimUi final : public port::IUi {
 public:
  // Queues the answer for the next box; `beforeAnswer` (optional) runs just before it is given,
  // as a user doing something while the box is up.
  void QueueAnswer(int answer, std::function<void()> beforeAnswer = {});

  [[nodiscard]] const std::vector<MessageBoxRecord>& Boxes() const { return boxes_; }
  [[nodiscard]] std::size_t PendingAnswers() const { return queue_.size(); }
  // True once a box was shown with no queued answer.
  [[nodiscard]] bool HadUnansweredBox() const;
  void ClearBoxes() { boxes_.clear(); }

  // A box with no queued answer is recorded as unanswered and returns 0, MessageBox's failure.
  int MessageBox(port::HWnd owner, std::string_view text, std::string_view caption,
                 std::uint32_t type) override;

 private:
  struct Answer {
    int answer;
    std::function<void()> beforeAnswer;
  };
  std::deque<Answer> queue_;
  std::vector<MessageBoxRecord> boxes_;
};

}  // namespace ombrant::sim
