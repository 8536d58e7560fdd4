// Control ids of the real window, in bands by kind of control. The binder hands them out in tab
// order within each band, so a control keeps its id from run to run and an id tells its kind.
#pragma once

namespace ombrant::win32 {

inline constexpr int kIdBandSize = 100;

inline constexpr int kIdContainers = 100;    // pages, group boxes, panels
inline constexpr int kIdPageControls = 200;  // tab controls
inline constexpr int kIdButtons = 300;
inline constexpr int kIdRadioButtons = 400;
inline constexpr int kIdCheckBoxes = 500;
inline constexpr int kIdLabels = 600;
inline constexpr int kIdEdits = 700;
inline constexpr int kIdRichEdits = 800;
inline constexpr int kIdComboBoxes = 900;
inline constexpr int kIdListViews = 1000;
inline constexpr int kIdPictures = 1100;
// Pop-up menu commands: the item's position in its menu is added.
inline constexpr int kIdMenuItems = 2000;

// Private window messages of the binder.
inline constexpr unsigned kMsgPainted = 0x8000 + 1;    // WM_APP + 1: the window was painted
inline constexpr unsigned kMsgDestroy = 0x8000 + 2;    // the form was closed: destroy the window
inline constexpr unsigned kMsgCheckFocus = 0x8000 + 3;  // move the focus off a control gone away

}  // namespace ombrant::win32
