// Labels, edit fields and the rich-text box.
#pragma once

#include <functional>
#include <string>

#include "ui/uiControl.h"

namespace ombrant::ui {

class Label : public Control {
 public:
  explicit Label(std::string name = {}, std::string caption = {});

  [[nodiscard]] bool TakesFocus() const override { return false; }

  [[nodiscard]] bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wordWrap);

  // The control that its access key focuses.
  [[nodiscard]] Control* FocusControl() const { return focusControl_; }
  void SetFocusControl(Control* control);
  // The user pressed the access key: focuses the focus control; false if it could not.
  bool ActivateAccessKey();

  std::function<void()> OnClick;
  // Refused (false) unless the label can be reached.
  bool UserClick();

 protected:
  void Unlinked(Component& gone) override;

 private:
  bool wordWrap_ = false;
  Control* focusControl_ = nullptr;
};

class Edit : public Control {
 public:
  explicit Edit(std::string name = {});

  [[nodiscard]] const std::string& Text() const { return text_; }
  // Runs OnChange when the text changes, by code or by the user.
  void SetText(std::string text);
  std::function<void()> OnChange;
  // Typing: refused (false) unless the field can be reached.
  bool UserSetText(std::string text);

 private:
  std::string text_;
};

enum class ScrollBars { None, Horizontal, Vertical, Both };

class RichEdit : public Control {
 public:
  explicit RichEdit(std::string name = {});

  // The document as RTF bytes; the control renders it.
  [[nodiscard]] const std::string& Rtf() const { return rtf_; }
  void SetRtf(std::string rtf);
  void Clear() { SetRtf({}); }

  [[nodiscard]] bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool readOnly);
  [[nodiscard]] ScrollBars Scrolling() const { return scrollBars_; }
  void SetScrollBars(ScrollBars bars);

 private:
  std::string rtf_;
  bool readOnly_ = false;
  ScrollBars scrollBars_ = ScrollBars::None;
};

}  // namespace ombrant::ui
