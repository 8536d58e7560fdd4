// Keyboard navigation over the control models: the tab order, radio-button groups and access
// keys. A window binder asks these what a key press reaches, so the real window follows the
// models' tab order rather than the order in which the system happens to stack its controls.
#pragma once

#include <vector>

#include "ui/uiContainers.h"
#include "ui/uiControl.h"

namespace ombrant::ui {

class Button;
class RadioButton;

// Tab stops at a control that can take the focus; among radio buttons of one parent only at the
// checked one (or at each while none is checked), so Tab lands on the chosen option.
[[nodiscard]] bool IsTabStop(const Control& control);

// The controls Tab visits under `root`, in order: depth first, children in tab order; what sits
// in a hidden or disabled container (a page that is not the active one) is skipped.
[[nodiscard]] std::vector<Control*> TabStops(Control& root);

// The tab stop after `from` (before it with `backward`), wrapping around. From null, or from a
// control that is no tab stop, it starts at the stop that follows (or precedes) `from` in tree
// order. Null when there is no stop at all.
[[nodiscard]] Control* NextTabStop(Control& root, const Control* from, bool backward);

// Arrow keys on a radio button: the next (previous) sibling radio button that can take the
// focus, wrapping around; null if there is none but `from` itself.
[[nodiscard]] RadioButton* NextRadio(const RadioButton& from, bool backward);

// The first control under `root`, in tab order, whose access key is `key` and that a user can
// reach: a control that shows and is enabled, or a page whose tab is visible in a page control
// that can be reached. Null if none.
[[nodiscard]] Control* FindAccessKey(Control& root, char32_t key);

// Does what pressing the access key does: a label focuses its focus control; a button is
// clicked; a radio button or check box is focused and clicked; a page's tab is selected as a
// click on it would. False when no control has that key or it did nothing.
bool PressAccessKey(Control& root, char32_t key);

// Enter in `window`: presses the focused push button, else the window's default button. False
// when neither can be clicked now (disabled, hidden, or the window busy), so that the key goes on
// to the focused control.
bool PressEnter(Form& window);

}  // namespace ombrant::ui
