#include "ui/check_list_view.h"

#include "common/text.h"
#include "ui/check_box_rules.h"

namespace ui {
namespace {

constexpr wchar_t kProperty[] = L"Torvane.CheckListView";
constexpr UINT_PTR kSubclassId = 0x7649;
constexpr int kCheckStripBitmap = 155;
constexpr UINT kStateMask = 0xF000;

int stateImage(HWND list, int row) {
  return static_cast<int>(
      (SendMessageW(list, LVM_GETITEMSTATE, row, kStateMask) & kStateMask) >> 12);
}

}  // namespace

CheckListView::~CheckListView() {
  if (list_ && IsWindow(list_)) {
    RemoveWindowSubclass(list_, subclassProc, kSubclassId);
    RemovePropW(list_, kProperty);
    HWND header = ListView_GetHeader(list_);
    if (header) Header_SetImageList(header, nullptr);
  }
  if (images_) ImageList_Destroy(images_);
}

bool CheckListView::attach(HWND dialog, int id) {
  list_ = GetDlgItem(dialog, id);
  if (!list_) return false;
  SetPropW(list_, kProperty, this);
  // Subclassed from the start, so that the list's end is seen (and its
  // handle never used again) whether or not it gets the header box.
  SetWindowSubclass(list_, subclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

void CheckListView::setUp(DWORD extendedStyles, const std::vector<ListColumn>& columns) {
  ListView_SetExtendedListViewStyle(list_, extendedStyles);
  int index = 0;
  for (const ListColumn& c : columns) {
    std::wstring title = text::widen(c.title);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.fmt = c.centred ? LVCFMT_CENTER : LVCFMT_LEFT;
    column.cx = c.width;
    column.pszText = title.data();
    column.iSubItem = index;
    SendMessageW(list_, LVM_INSERTCOLUMNW, index++, reinterpret_cast<LPARAM>(&column));
  }
  const DWORD now = ListView_GetExtendedListViewStyle(list_);
  ListView_SetExtendedListViewStyle(list_, now | LVS_EX_CHECKBOXES);
}

bool CheckListView::initHeaderCheckBox() {
  if (initialised_) return true;
  HWND header = ListView_GetHeader(list_);
  if (!header) return false;
  // The strip's three 16-pixel images, magenta transparent. Made from a
  // 24-bit list with the mask taken from the strip, which keeps the colours
  // of the 8-bit strip on every display depth.
  images_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 3);
  if (HBITMAP strip = static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr),
                                                      MAKEINTRESOURCEW(kCheckStripBitmap), IMAGE_BITMAP,
                                                      0, 0, LR_DEFAULTCOLOR))) {
    ImageList_AddMasked(images_, strip, RGB(255, 0, 255));
    DeleteObject(strip);
  }
  Header_SetImageList(header, images_);
  HDITEMW item{};
  item.mask = HDI_FORMAT | HDI_IMAGE;
  Header_GetItem(header, 0, &item);
  item.fmt |= HDF_IMAGE;
  item.iImage = kImageUnchecked;
  Header_SetItem(header, 0, &item);
  initialised_ = true;
  return true;
}

int CheckListView::headerImage() const {
  HWND header = list_ ? ListView_GetHeader(list_) : nullptr;
  if (!header) return 0;
  HDITEMW item{};
  item.mask = HDI_IMAGE;
  Header_GetItem(header, 0, &item);
  return item.iImage;
}

void CheckListView::setHeaderImage(int image) {
  HWND header = ListView_GetHeader(list_);
  HDITEMW item{};
  item.mask = HDI_IMAGE;
  item.iImage = image;
  Header_SetItem(header, 0, &item);
}

void CheckListView::onHeaderItemClick(int item) {
  if (item != 0 || !initialised_) return;
  const int image = headerImageAfterClick(headerImage());
  setHeaderImage(image);
  const UINT state = image == kImageChecked ? 0x2000 : 0x1000;
  for (int row = 0, n = rowCount(); row < n; ++row) ListView_SetItemState(list_, row, state, kStateMask);
}

void CheckListView::onItemChanged(const NMLISTVIEW& change) {
  if (change.uChanged != LVIF_STATE) return;
  refreshHeaderImage();
}

void CheckListView::refreshHeaderImage() {
  if (!initialised_) return;
  std::vector<int> images;
  const int n = rowCount();
  images.reserve(static_cast<size_t>(n));
  for (int row = 0; row < n; ++row) {
    const int image = stateImage(list_, row);
    images.push_back(image);
    if (image == kImageUnchecked) break;  // enough to know
  }
  setHeaderImage(headerImageForRows(images));
}

int CheckListView::rowCount() const { return list_ ? ListView_GetItemCount(list_) : 0; }

void CheckListView::insertRow(int index, const std::vector<std::string>& texts, bool on) {
  std::wstring first = texts.empty() ? std::wstring() : text::widen(texts[0]);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = first.data();
  const int row = static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (row < 0) return;
  for (size_t column = 1; column < texts.size(); ++column) {
    std::wstring wide = text::widen(texts[column]);
    LVITEMW sub{};
    sub.iSubItem = static_cast<int>(column);
    sub.pszText = wide.data();
    SendMessageW(list_, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&sub));
  }
  setChecked(row, on);
  // A row that comes unchecked changes no check state, so nothing tells the header.
  refreshHeaderImage();
}

void CheckListView::deleteRow(int index) {
  ListView_DeleteItem(list_, index);
  refreshHeaderImage();
}
void CheckListView::deleteAllRows() {
  ListView_DeleteAllItems(list_);
  refreshHeaderImage();
}

bool CheckListView::checked(int row) const { return stateImage(list_, row) == kImageChecked; }

void CheckListView::setChecked(int row, bool on) {
  ListView_SetItemState(list_, row, on ? 0x2000 : 0x1000, kStateMask);
}

std::string CheckListView::text(int row, int column) const {
  wchar_t buffer[1024] = L"";
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer;
  item.cchTextMax = 1024;
  SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return text::narrow(buffer);
}

CheckListView* CheckListView::of(HWND window) {
  return window ? static_cast<CheckListView*>(GetPropW(window, kProperty)) : nullptr;
}

LRESULT CALLBACK CheckListView::subclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                             UINT_PTR, DWORD_PTR data) {
  auto* self = reinterpret_cast<CheckListView*>(data);
  if (message == WM_NOTIFY) {
    // The header tells its parent, the list, of clicks on its items.
    const auto* header = reinterpret_cast<const NMHEADERW*>(lParam);
    if (header->hdr.hwndFrom == ListView_GetHeader(window) &&
        (header->hdr.code == HDN_ITEMCLICKW || header->hdr.code == HDN_ITEMCLICKA))
      self->onHeaderItemClick(header->iItem);
  }
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, subclassProc, kSubclassId);
    RemovePropW(window, kProperty);
    self->list_ = nullptr;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace ui
