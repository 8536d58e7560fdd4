// The window binder: creates real Win32 controls for a tree of control models and keeps the two
// in step both ways. A model change is mirrored into its control; a user's action on a control
// reaches the model through its User* call, which runs the model's handlers.
//
// Positions and sizes of the models are pixels at 96 DPI; the binder scales them for the DPI of
// the window's monitor. The models lay themselves out (anchors, alignment); the binder only
// reports the window's new client size to the form and moves the controls where the models say.
//
// Keyboard navigation follows the models: Tab and Shift+Tab walk the models' tab order, arrow
// keys move among radio buttons, Ctrl+Tab switches pages and Alt+letter presses access keys.
// The message loop offers every message to PreTranslateMessage before dispatching it.
//
// Everything runs on the thread that created the binder. No exception leaves a window procedure:
// failures inside are handed to OnFailure.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "app/winHandles.h"
#include "ui/uiContainers.h"

namespace ombrant::ui {
class ImageList;
class TabSheet;
}  // namespace ombrant::ui

namespace ombrant::win32 {

class FormBinder final : private ui::Observer {
 public:
  // `instance` holds the resources that pictures and image entries name.
  FormBinder(ui::Form& form, HINSTANCE instance);
  // Destroys the window if it is still there.
  ~FormBinder();
  FormBinder(const FormBinder&) = delete;
  FormBinder& operator=(const FormBinder&) = delete;

  // Creates the window, hidden, with a control for every model under the form. Throws
  // std::runtime_error when the window cannot be created.
  void Create();
  // Runs OnFirstShow the first time, then shows the window and focuses its first tab stop.
  void Show(int showCommand);

  // Keyboard handling for the message loop; true when the message was used up.
  bool PreTranslateMessage(const MSG& message);
  // After each dispatched message: tells the models where the focus went.
  void AfterMessage();

  [[nodiscard]] HWND Window() const { return window_; }
  // The control made for a model, or null.
  [[nodiscard]] HWND HandleOf(const ui::Control& control) const;
  // The model of a control (or of a window inside one, such as a combo box's edit), or null.
  [[nodiscard]] ui::Control* ControlOf(HWND handle) const;
  [[nodiscard]] UINT Dpi() const { return dpi_; }
  // A 96-DPI length in pixels at the window's DPI.
  [[nodiscard]] int Scale(int length) const;

  // Window events, run after the system's own handling: shown the first time; painted (once
  // per paint, after the painting is done so that handlers may open message boxes); destroyed.
  std::function<void()> OnFirstShow;
  std::function<void()> OnPaint;
  std::function<void()> OnDestroyed;
  // A failure caught at a window procedure; the window goes on.
  std::function<void(const std::string& what)> OnFailure;

 private:
  void DiscardInputQueuedMeanwhile();
  enum class Kind {
    Form, PageControl, Page, GroupBox, Panel, Button, RadioButton, CheckBox, Label, Edit,
    RichEdit, ComboBox, ListView, Picture
  };

  struct Bound {
    ui::Control* control = nullptr;
    // The model parent at creation: compared by address only, as it may be going away.
    const ui::Control* parent = nullptr;
    Kind kind = Kind::Panel;
    HWND hwnd = nullptr;
    int id = 0;
    // Page control: the pages whose tabs show, in tab order.
    std::vector<const ui::TabSheet*> tabs;
    // Page: its controls are made when it first shows, not with the window; a wizard's later
    // pages cost the start nothing.
    bool childrenPending = false;
    // Picture: the loaded image.
    UniqueBitmap bitmap;
    SIZE bitmapSize{};
    // List view and combo box: the image lists handed to the control.
    HIMAGELIST smallImages = nullptr;
    HIMAGELIST largeImages = nullptr;
  };

  struct BuiltImageList {
    UniqueImageList handle;
    std::size_t signature = 0;
  };

  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  static void RegisterClasses(HINSTANCE instance);
  bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  void ReportFailure(const char* what) noexcept;

  void Changed(ui::Component& source, ui::Changes what) override;

  // ---- creation
  void CreateTree(ui::Control& control);
  void CreateControl(ui::Control& control);
  void DestroyTree(ui::Control& control);
  // Makes the controls of a page that shows for the first time.
  void CreatePendingChildren(Bound& page);
  void SyncChildren(ui::Container& container);
  [[nodiscard]] Kind KindOf(const ui::Control& control) const;
  [[nodiscard]] int NextId(Kind kind);
  [[nodiscard]] HWND ParentHandle(const ui::Control& control) const;
  [[nodiscard]] Bound* Find(const ui::Control* control) const;

  // ---- model -> control
  void Refresh(Bound& bound);
  void ApplyCaption(Bound& bound);
  void ApplyText(Bound& bound);
  void ApplyVisible(Bound& bound);
  void ApplyEnabled(Bound& bound);
  void ApplyBounds(Bound& bound);
  void ApplyFormSize();
  void ApplyChecked(Bound& bound);
  void ApplyOptions(Bound& bound);
  void ApplyTabs(Bound& bound);
  void ApplyActivePage(Bound& bound);
  void ApplyFocus(Bound& bound);
  void ApplyZOrder(ui::Container& container);
  void ApplyFont();
  void MeasurePageInsets(Bound& bound);
  void LoadPicture(Bound& bound);
  void FitText(Bound& bound);
  void Relayout();

  // Lists and combo boxes (winBinderLists.cpp).
  void ApplyListColumns(Bound& bound);
  void ApplyListOptions(Bound& bound);
  void ApplyListGroups(Bound& bound);
  void ApplyListItems(Bound& bound);
  void ApplyListSelection(Bound& bound);
  void ApplyListChecks(Bound& bound);
  void ApplyListImages(Bound& bound);
  void ApplyComboItems(Bound& bound);
  void ApplyComboSelection(Bound& bound);
  void ApplyComboImages(Bound& bound);
  HIMAGELIST ImageListFor(const ui::ImageList* list);
  bool OnListNotify(Bound& bound, const NMHDR& header);

  // ---- control -> model
  void OnCommand(Bound& bound, int code);
  bool OnNotify(Bound& bound, const NMHDR& header, LRESULT& result);
  void OnContextMenu(HWND hwnd, POINT screen);
  void OnFormSize();
  void OnDpiChanged(UINT dpi, const RECT* suggested);
  void SyncFocus();
  void CheckFocus();
  void ScheduleFocusCheck();

  // ---- painting
  [[nodiscard]] HBRUSH BackgroundBrush(const ui::Control* control) const;
  void PaintContainer(Bound& bound, HDC dc, const RECT& area);
  void PaintGroupBox(Bound& bound, HDC dc);
  void PaintPicture(Bound& bound, HDC dc);

  // ---- keyboard
  bool MoveFocus(bool backward);
  bool CyclePages(bool backward);
  bool MoveAmongRadios(bool backward);
  bool PressAccessKey(wchar_t key);

  ui::Form& form_;
  HINSTANCE instance_;
  HWND window_ = nullptr;
  UINT dpi_ = 96;
  UniqueFont font_;
  UniqueModule richEditModule_;
  const wchar_t* richEditClass_ = nullptr;
  std::unordered_map<const ui::Control*, std::unique_ptr<Bound>> bound_;
  std::unordered_map<HWND, Bound*> byHandle_;
  std::unordered_map<const ui::ImageList*, BuiltImageList> imageLists_;
  std::unordered_map<int, int> nextIds_;
  // While positive, the binder itself is changing controls: their notifications are echoes.
  int pushing_ = 0;
  bool shown_ = false;
  bool paintPending_ = false;
  bool focusCheckPending_ = false;
  bool themed_ = false;
  // The window is being resized by the user: the form's new size needs no pushing back.
  bool sizingFromWindow_ = false;
};

}  // namespace ombrant::win32
