// Records the change notifications a component sends, for the control-model tests.
#pragma once

#include <vector>

#include "ui/uiControl.h"

namespace ombrant::test {

struct ChangeRecorder : ui::Observer {
  struct Event {
    const ui::Component* source;
    ui::Changes what;
  };

  explicit ChangeRecorder(ui::Component& watched) : watched_(watched) { watched_.AddObserver(*this); }
  ~ChangeRecorder() { watched_.RemoveObserver(*this); }
  ChangeRecorder(const ChangeRecorder&) = delete;
  ChangeRecorder& operator=(const ChangeRecorder&) = delete;

  void Changed(ui::Component& source, ui::Changes what) override { events.push_back({&source, what}); }

  // Events from `source` that include `aspect`.
  [[nodiscard]] int Count(const ui::Component& source, ui::Aspect aspect) const {
    int n = 0;
    for (const Event& e : events) {
      if (e.source == &source && e.what.Has(aspect)) ++n;
    }
    return n;
  }

  std::vector<Event> events;

 private:
  ui::Component& watched_;
};

}  // namespace ombrant::test
