// Panels, group boxes and the window itself.
#pragma once

#include <functional>
#include <string>

#include "ui/uiControl.h"

namespace ombrant::ui {

class Button;

class Panel : public Container {
 public:
  explicit Panel(std::string name = {});
  [[nodiscard]] bool TakesFocus() const override { return false; }
};

// Children are placed relative to the box's top-left corner, under its caption.
class GroupBox : public Container {
 public:
  explicit GroupBox(std::string name = {}, std::string caption = {});
  [[nodiscard]] bool TakesFocus() const override { return false; }
};

// The window. Its bounds are its client area: the position on screen and the client size; the
// binder adds the frame. The size constraints are of the whole window, frame included, as the
// binder enforces them.
class Form : public Container {
 public:
  explicit Form(std::string name = {}, std::string caption = {});
  [[nodiscard]] bool TakesFocus() const override { return false; }

  void SetClientSize(int width, int height);

  [[nodiscard]] int MinWidth() const { return minWidth_; }
  [[nodiscard]] int MinHeight() const { return minHeight_; }
  void SetMinSize(int width, int height);

  [[nodiscard]] bool Centered() const { return centered_; }
  void SetCentered(bool centered);

  [[nodiscard]] const std::string& FontName() const { return fontName_; }
  [[nodiscard]] int FontSize() const { return fontSize_; }
  void SetFont(std::string name, int points);

  // The button Enter presses when the focus is on no push button (a dialog's default button);
  // null for none.
  [[nodiscard]] Button* DefaultButton() const { return defaultButton_; }
  void SetDefaultButton(Button* button) { defaultButton_ = button; }

  // Runs OnClose, then marks the window closed (once); the binder destroys the real window.
  std::function<void()> OnClose;
  void Close();
  [[nodiscard]] bool Closed() const { return closed_; }
  [[nodiscard]] bool Showing() const override { return !closed_ && Container::Showing(); }

 private:
  int minWidth_ = 0;
  int minHeight_ = 0;
  bool centered_ = false;
  std::string fontName_;
  int fontSize_ = 0;
  bool closed_ = false;
  Button* defaultButton_ = nullptr;
};

}  // namespace ombrant::ui
