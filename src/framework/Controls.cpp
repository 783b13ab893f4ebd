#include "framework/Controls.h"

#include <algorithm>
#include <vector>

#include "framework/Dpi.h"

namespace fw {

std::string WindowText(HWND window) {
    int length = GetWindowTextLengthA(window);
    if (length <= 0)
        return {};
    std::vector<char> buffer(static_cast<size_t>(length) + 1);
    int copied = GetWindowTextA(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

int ListView::InsertColumn(int index, const std::wstring& heading, int width) const {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.fmt = LVCFMT_LEFT;
    column.cx = ScaleForWindow(Hwnd(), width);
    column.pszText = const_cast<wchar_t*>(heading.c_str());
    return static_cast<int>(
        SendMessageW(Hwnd(), LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column)));
}

int ListView::ItemCount() const {
    return static_cast<int>(SendMessageA(Hwnd(), LVM_GETITEMCOUNT, 0, 0));
}

int ListView::InsertItem(int index, const std::string& text) const {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(
        SendMessageA(Hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

BOOL ListView::SetItemText(int item, int column, const std::string& text) const {
    LVITEMA change{};
    change.iSubItem = column;
    change.pszText = const_cast<char*>(text.c_str());
    return static_cast<BOOL>(
        SendMessageA(Hwnd(), LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&change)));
}

std::string ListView::ItemText(int item, int column) const {
    // The control says how much it copied, not how long the text is: grow until it fits.
    for (size_t size = 256;; size *= 2) {
        std::vector<char> buffer(size);
        LVITEMA request{};
        request.iSubItem = column;
        request.pszText = buffer.data();
        request.cchTextMax = static_cast<int>(size);
        auto copied = static_cast<size_t>(
            SendMessageA(Hwnd(), LVM_GETITEMTEXTA, item, reinterpret_cast<LPARAM>(&request)));
        if (copied + 1 < size || size >= (size_t{1} << 20))
            return std::string(request.pszText, std::min(copied, size - 1));
    }
}

UINT ListView::ItemState(int item, UINT mask) const {
    return static_cast<UINT>(SendMessageA(Hwnd(), LVM_GETITEMSTATE, item, mask));
}

BOOL ListView::SetItemState(int item, UINT state, UINT mask) const {
    LVITEMA change{};
    change.state = state;
    change.stateMask = mask;
    return static_cast<BOOL>(
        SendMessageA(Hwnd(), LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&change)));
}

BOOL ListView::DeleteItem(int item) const {
    return static_cast<BOOL>(SendMessageA(Hwnd(), LVM_DELETEITEM, item, 0));
}

BOOL ListView::DeleteAllItems() const {
    return static_cast<BOOL>(SendMessageA(Hwnd(), LVM_DELETEALLITEMS, 0, 0));
}

int ListView::FindItem(const std::string& text, int start) const {
    LVFINDINFOA find{};
    find.flags = LVFI_STRING;
    find.psz = text.c_str();
    return static_cast<int>(
        SendMessageA(Hwnd(), LVM_FINDITEMA, start, reinterpret_cast<LPARAM>(&find)));
}

int ListView::HitTest(POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    return static_cast<int>(SendMessageA(Hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

} // namespace fw
