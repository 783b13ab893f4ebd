#include "framework/Controls.h"

#include <vector>

#include "framework/Dpi.h"

namespace fw {

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0)
        return {};
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    const int copied = GetWindowTextW(window, buffer.data(), static_cast<int>(buffer.size()));
    return std::wstring(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
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

BOOL ListView::SetItemState(int item, UINT state, UINT mask) const {
    LVITEMW change{};
    change.state = state;
    change.stateMask = mask;
    return static_cast<BOOL>(
        SendMessageW(Hwnd(), LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&change)));
}

int ListView::HitTest(POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    return static_cast<int>(SendMessageW(Hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

} // namespace fw
