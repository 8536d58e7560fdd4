// The list views and combo boxes of the window binder.
#include <cstddef>
#include <string>
#include <vector>

#include "app/winBinder.h"
#include "app/winImages.h"
#include "app/appText.h"
#include "ui/uiComboBox.h"
#include "ui/uiImages.h"
#include "ui/uiListView.h"

namespace ombrant::win32 {

namespace {

const ui::ListView& ListOf(const ui::Control& control) {
  return static_cast<const ui::ListView&>(control);
}

int ViewOf(ui::ViewStyle style) {
  switch (style) {
    case ui::ViewStyle::Icon: return LV_VIEW_ICON;
    case ui::ViewStyle::SmallIcon: return LV_VIEW_SMALLICON;
    case ui::ViewStyle::List: return LV_VIEW_LIST;
    case ui::ViewStyle::Report: return LV_VIEW_DETAILS;
    case ui::ViewStyle::Tile: return LV_VIEW_TILE;
  }
  return LV_VIEW_ICON;
}

// The 5.0 layout of the structures: what every version of the control takes.
constexpr UINT kGroupSize = offsetof(LVGROUP, uAlign) + sizeof(UINT);
constexpr UINT kTileInfoSize = offsetof(LVTILEINFO, puColumns) + sizeof(PUINT);

constexpr UINT kUnchecked = 1;
constexpr UINT kChecked = 2;

}  // namespace

// ---- list views ------------------------------------------------------------------------------

void FormBinder::ApplyListColumns(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  HWND header = reinterpret_cast<HWND>(SendMessageW(bound.hwnd, LVM_GETHEADER, 0, 0));
  int have = header != nullptr ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
  const int want = static_cast<int>(lv.Columns().size());
  for (int i = 0; i < want; ++i) {
    const ui::ListColumn& column = lv.Columns()[static_cast<std::size_t>(i)];
    std::wstring text = ToWide(column.caption);
    LVCOLUMNW c{};
    c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    c.pszText = text.data();
    c.cx = Scale(column.width);
    c.iSubItem = i;
    if (i < have) {
      SendMessageW(bound.hwnd, LVM_SETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&c));
    } else {
      SendMessageW(bound.hwnd, LVM_INSERTCOLUMNW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&c));
    }
  }
  // Column 0 cannot go; a view without columns keeps it, empty.
  while (have > want && have > 1) {
    SendMessageW(bound.hwnd, LVM_DELETECOLUMN, static_cast<WPARAM>(--have), 0);
  }
}

void FormBinder::ApplyListOptions(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  LONG style = GetWindowLongW(bound.hwnd, GWL_STYLE);
  const LONG old = style;
  const auto flag = [&style](LONG bit, bool on) { style = on ? (style | bit) : (style & ~bit); };
  flag(LVS_NOCOLUMNHEADER, !lv.ShowColumnHeaders());
  flag(LVS_SHOWSELALWAYS, !lv.HideSelection());
  // Item captions belong to the model, which takes no edits from the user: never editable.
  flag(LVS_EDITLABELS, false);
  if (style != old) SetWindowLongW(bound.hwnd, GWL_STYLE, style);

  const DWORD extended = static_cast<DWORD>(SendMessageW(bound.hwnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  const bool hadCheckBoxes = (extended & LVS_EX_CHECKBOXES) != 0;
  if (hadCheckBoxes != lv.CheckBoxes()) {
    SendMessageW(bound.hwnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES,
                 lv.CheckBoxes() ? LVS_EX_CHECKBOXES : 0);
    ApplyListChecks(bound);
  }
  SendMessageW(bound.hwnd, LVM_SETVIEW, static_cast<WPARAM>(ViewOf(lv.Style())), 0);
  if (lv.Style() == ui::ViewStyle::Tile) {
    LVTILEVIEWINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = LVTVIM_COLUMNS;
    info.cLines = lv.TileViewLines();
    SendMessageW(bound.hwnd, LVM_SETTILEVIEWINFO, 0, reinterpret_cast<LPARAM>(&info));
  }
}

void FormBinder::ApplyListGroups(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  SendMessageW(bound.hwnd, LVM_REMOVEALLGROUPS, 0, 0);
  for (const ui::ListGroup& group : lv.Groups()) {
    std::wstring header = ToWide(group.header);
    LVGROUP g{};
    g.cbSize = kGroupSize;
    g.mask = LVGF_HEADER | LVGF_GROUPID;
    g.pszHeader = header.data();
    g.iGroupId = group.id;
    SendMessageW(bound.hwnd, LVM_INSERTGROUP, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&g));
  }
  SendMessageW(bound.hwnd, LVM_ENABLEGROUPVIEW, lv.GroupView() ? TRUE : FALSE, 0);
  // Removing the groups took the items out of them.
  ApplyListItems(bound);
}

void FormBinder::ApplyListItems(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  const int have = static_cast<int>(SendMessageW(bound.hwnd, LVM_GETITEMCOUNT, 0, 0));
  const int want = lv.ItemCount();
  // Same count: edit in place, which keeps the scroll position; else build the list anew.
  const bool rebuild = have != want;
  if (rebuild) SendMessageW(bound.hwnd, LVM_DELETEALLITEMS, 0, 0);
  const int columns = static_cast<int>(lv.Columns().size());
  for (int i = 0; i < want; ++i) {
    const ui::ListItem& item = lv.Item(i);
    std::wstring caption = ToWide(item.caption);
    LVITEMW it{};
    it.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_GROUPID;
    it.iItem = i;
    it.pszText = caption.data();
    it.iImage = item.imageIndex >= 0 ? item.imageIndex : I_IMAGENONE;
    it.iGroupId = item.groupId >= 0 ? item.groupId : I_GROUPIDNONE;
    SendMessageW(bound.hwnd, rebuild ? LVM_INSERTITEMW : LVM_SETITEMW, 0,
                 reinterpret_cast<LPARAM>(&it));
    const int subItems = std::max(columns, static_cast<int>(item.subItems.size()) + 1);
    for (int k = 1; k < subItems; ++k) {
      std::wstring text = ToWide(lv.ColumnText(i, k));
      LVITEMW sub{};
      sub.iSubItem = k;
      sub.pszText = text.data();
      SendMessageW(bound.hwnd, LVM_SETITEMTEXTW, static_cast<WPARAM>(i),
                   reinterpret_cast<LPARAM>(&sub));
    }
    if (!item.tileColumns.empty() || !rebuild) {
      std::vector<UINT> tileColumns(item.tileColumns.begin(), item.tileColumns.end());
      LVTILEINFO tile{};
      tile.cbSize = kTileInfoSize;
      tile.iItem = i;
      tile.cColumns = static_cast<UINT>(tileColumns.size());
      tile.puColumns = tileColumns.empty() ? nullptr : tileColumns.data();
      SendMessageW(bound.hwnd, LVM_SETTILEINFO, 0, reinterpret_cast<LPARAM>(&tile));
    }
  }
  ApplyListChecks(bound);
  ApplyListSelection(bound);
}

void FormBinder::ApplyListSelection(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  for (int i = 0; i < lv.ItemCount(); ++i) {
    const bool want = lv.Item(i).selected;
    const UINT state = static_cast<UINT>(
        SendMessageW(bound.hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_SELECTED));
    if (((state & LVIS_SELECTED) != 0) == want) continue;
    LVITEMW it{};
    it.stateMask = LVIS_SELECTED | (want ? LVIS_FOCUSED : 0u);
    it.state = want ? (LVIS_SELECTED | LVIS_FOCUSED) : 0u;
    SendMessageW(bound.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
  }
}

void FormBinder::ApplyListChecks(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  if (!lv.CheckBoxes()) return;
  for (int i = 0; i < lv.ItemCount(); ++i) {
    const UINT want = INDEXTOSTATEIMAGEMASK(lv.Item(i).checked ? kChecked : kUnchecked);
    const UINT state = static_cast<UINT>(
        SendMessageW(bound.hwnd, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK));
    if ((state & LVIS_STATEIMAGEMASK) == want) continue;
    LVITEMW it{};
    it.stateMask = LVIS_STATEIMAGEMASK;
    it.state = want;
    SendMessageW(bound.hwnd, LVM_SETITEMSTATE, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&it));
  }
}

void FormBinder::ApplyListImages(Bound& bound) {
  const auto& lv = ListOf(*bound.control);
  bound.smallImages = ImageListFor(lv.SmallImages());
  bound.largeImages = ImageListFor(lv.LargeImages());
  SendMessageW(bound.hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(bound.smallImages));
  SendMessageW(bound.hwnd, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(bound.largeImages));
}

bool FormBinder::OnListNotify(Bound& bound, const NMHDR& header) {
  ui::Control* control = bound.control;
  auto& lv = static_cast<ui::ListView&>(*control);
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) == 0 || change.iItem < 0) return false;
      const UINT changed = change.uOldState ^ change.uNewState;
      if ((changed & LVIS_SELECTED) != 0) {
        bool accepted = true;
        if ((change.uNewState & LVIS_SELECTED) != 0) {
          accepted = lv.UserSelect(change.iItem);
        } else if (SendMessageW(bound.hwnd, LVM_GETNEXTITEM, static_cast<WPARAM>(-1),
                                LVNI_SELECTED) < 0) {
          // Deselected with nothing else selected (yet): a click moving the selection reports
          // the new item next.
          accepted = lv.UserSelect(-1);
        }
        if (!accepted) {
          if (Bound* still = Find(control)) {
            ++pushing_;
            ApplyListSelection(*still);
            --pushing_;
          }
        }
      }
      const UINT newImage = (change.uNewState & LVIS_STATEIMAGEMASK) >> 12;
      const UINT oldImage = (change.uOldState & LVIS_STATEIMAGEMASK) >> 12;
      // State image 0 is an item that has no check box yet.
      if ((changed & LVIS_STATEIMAGEMASK) != 0 && newImage != 0 && oldImage != 0 && lv.CheckBoxes()) {
        if (!lv.UserSetChecked(change.iItem, newImage == kChecked)) {
          if (Bound* still = Find(control)) {
            ++pushing_;
            ApplyListChecks(*still);
            --pushing_;
          }
        }
      }
      return true;
    }
    case NM_CLICK: {
      const auto& click = reinterpret_cast<const NMITEMACTIVATE&>(header);
      if (!lv.UserClick(click.iItem)) {
        if (Bound* still = Find(control)) {
          ++pushing_;
          ApplyListSelection(*still);
          --pushing_;
        }
      }
      return true;
    }
    default: return false;
  }
}

// ---- combo boxes -----------------------------------------------------------------------------

void FormBinder::ApplyComboItems(Bound& bound) {
  const auto& combo = static_cast<const ui::ComboBox&>(*bound.control);
  SendMessageW(bound.hwnd, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < combo.ItemCount(); ++i) {
    const ui::ComboItem& entry = combo.Item(i);
    std::wstring text = ToWide(entry.text);
    COMBOBOXEXITEMW item{};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE;
    item.iItem = i;
    item.pszText = text.data();
    item.iImage = entry.imageIndex >= 0 ? entry.imageIndex : I_IMAGENONE;
    item.iSelectedImage = item.iImage;
    SendMessageW(bound.hwnd, CBEM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void FormBinder::ApplyComboSelection(Bound& bound) {
  const auto& combo = static_cast<const ui::ComboBox&>(*bound.control);
  if (static_cast<int>(SendMessageW(bound.hwnd, CB_GETCURSEL, 0, 0)) != combo.ItemIndex()) {
    SendMessageW(bound.hwnd, CB_SETCURSEL, static_cast<WPARAM>(combo.ItemIndex()), 0);
  }
}

void FormBinder::ApplyComboImages(Bound& bound) {
  const auto& combo = static_cast<const ui::ComboBox&>(*bound.control);
  bound.smallImages = ImageListFor(combo.Images());
  SendMessageW(bound.hwnd, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(bound.smallImages));
}

// ---- image lists -----------------------------------------------------------------------------

HIMAGELIST FormBinder::ImageListFor(const ui::ImageList* list) {
  if (list == nullptr) return nullptr;
  const std::size_t signature = ImageListSignature(*list);
  BuiltImageList& built = imageLists_[list];
  if (built.handle && built.signature == signature) return built.handle.get();
  UniqueImageList fresh = BuildImageList(*list, instance_);
  HIMAGELIST old = built.handle.get();
  HIMAGELIST now = fresh.get();
  // Every control still showing the old pictures gets the new ones before the old go.
  if (old != nullptr) {
    for (auto& [model, b] : bound_) {
      if (b->kind == Kind::ListView) {
        if (b->smallImages == old) {
          b->smallImages = now;
          SendMessageW(b->hwnd, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(now));
        }
        if (b->largeImages == old) {
          b->largeImages = now;
          SendMessageW(b->hwnd, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(now));
        }
      } else if (b->kind == Kind::ComboBox && b->smallImages == old) {
        b->smallImages = now;
        SendMessageW(b->hwnd, CBEM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(now));
      }
    }
  }
  built.handle = std::move(fresh);
  built.signature = signature;
  return now;
}

}  // namespace ombrant::win32
