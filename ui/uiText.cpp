#include "ui/uiText.h"

namespace ombrant::ui {

// ---- Label -----------------------------------------------------------------------------------

Label::Label(std::string name, std::string caption) : Control(std::move(name)) {
  SetCaption(std::move(caption));
}

void Label::SetWordWrap(bool wordWrap) {
  if (wordWrap == wordWrap_) return;
  wordWrap_ = wordWrap;
  Notify(Aspect::Options);
}

void Label::SetFocusControl(Control* control) {
  if (control == focusControl_) return;
  focusControl_ = control;
  if (control != nullptr) Link(*control);
  Notify(Aspect::Options);
}

bool Label::ActivateAccessKey() {
  return focusControl_ != nullptr && focusControl_->SetFocus();
}

bool Label::UserClick() {
  if (!AcceptsUserInput()) return false;
  if (OnClick) OnClick();
  return true;
}

void Label::Unlinked(Component& gone) {
  if (focusControl_ != nullptr && static_cast<Component*>(focusControl_) == &gone) {
    focusControl_ = nullptr;
    Notify(Aspect::Options);
  }
  Control::Unlinked(gone);
}

// ---- Edit ------------------------------------------------------------------------------------

Edit::Edit(std::string name) : Control(std::move(name)) {}

void Edit::SetText(std::string text) {
  if (text == text_) return;
  text_ = std::move(text);
  Notify(Aspect::Text);
  if (OnChange) OnChange();
}

bool Edit::UserSetText(std::string text) {
  if (!AcceptsUserInput()) return false;
  SetText(std::move(text));
  return true;
}

// ---- RichEdit --------------------------------------------------------------------------------

RichEdit::RichEdit(std::string name) : Control(std::move(name)) {}

void RichEdit::SetRtf(std::string rtf) {
  if (rtf == rtf_) return;
  rtf_ = std::move(rtf);
  Notify(Aspect::Text);
}

void RichEdit::SetReadOnly(bool readOnly) {
  if (readOnly == readOnly_) return;
  readOnly_ = readOnly;
  Notify(Aspect::Options);
}

void RichEdit::SetScrollBars(ScrollBars bars) {
  if (bars == scrollBars_) return;
  scrollBars_ = bars;
  Notify(Aspect::Options);
}

}  // namespace ombrant::ui
