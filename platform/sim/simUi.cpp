#include "platform/sim/simUi.h"

#include <algorithm>

namespace ombrant::sim {

void SimUi::QueueAnswer(int answer, std::function<void()> beforeAnswer) {
  queue_.push_back({answer, std::move(beforeAnswer)});
}

bool SimUi::HadUnansweredBox() const {
  return std::any_of(boxes_.begin(), boxes_.end(),
                     [](const MessageBoxRecord& box) { return !box.answered; });
}

int SimUi::MessageBox(port::HWnd owner, std::string_view text, std::string_view caption,
                      std::uint32_t type) {
  MessageBoxRecord box{owner, std::string(text), std::string(caption), type, 0, false};
  if (!queue_.empty()) {
    Answer next = std::move(queue_.front());
    queue_.pop_front();
    if (next.beforeAnswer) next.beforeAnswer();
    box.answer = next.answer;
    box.answered = true;
  }
  boxes_.push_back(std::move(box));
  return boxes_.back().answer;
}

}  // namespace ombrant::sim
