// Layout constants of the real window that the control models do not carry: pixels at 96 DPI.
#pragma once

namespace ombrant::win32 {

// A drop-down list's window is its edit part plus the list that drops down.
inline constexpr int kComboDropHeight = 200;
// A tab control not yet sized is measured at this size to find where its pages go.
inline constexpr int kMeasureSize = 200;
// A group box's caption: how far in from the frame's left edge, and the gap cut into the frame
// on either side of it.
inline constexpr int kGroupCaptionIndent = 9;
inline constexpr int kGroupCaptionPadding = 2;
// A check box or radio button: its box, and the gap between the box and the text.
inline constexpr int kCheckGlyphWidth = 13;
inline constexpr int kCheckTextGap = 6;
// A pop-up menu opened from the keyboard opens this far into its control.
inline constexpr int kKeyboardMenuOffset = 8;

}  // namespace ombrant::win32
