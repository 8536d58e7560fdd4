#include "ui/uiContainers.h"

namespace ombrant::ui {

Panel::Panel(std::string name) : Container(std::move(name)) {}

GroupBox::GroupBox(std::string name, std::string caption) : Container(std::move(name)) {
  SetCaption(std::move(caption));
}

Form::Form(std::string name, std::string caption) : Container(std::move(name)) {
  SetCaption(std::move(caption));
}

void Form::SetClientSize(int width, int height) {
  Rect bounds = Bounds();
  bounds.width = width;
  bounds.height = height;
  SetBounds(bounds);
}

void Form::SetMinSize(int width, int height) {
  if (width == minWidth_ && height == minHeight_) return;
  minWidth_ = width;
  minHeight_ = height;
  Notify(Aspect::Layout);
}

void Form::SetCentered(bool centered) {
  if (centered == centered_) return;
  centered_ = centered;
  Notify(Aspect::Layout);
}

void Form::SetFont(std::string name, int points) {
  if (name == fontName_ && points == fontSize_) return;
  fontName_ = std::move(name);
  fontSize_ = points;
  Notify(Aspect::Options);
}

void Form::Close() {
  if (closed_) return;
  if (OnClose) OnClose();
  closed_ = true;
  Notify(Aspect::Closed);
}

}  // namespace ombrant::ui
