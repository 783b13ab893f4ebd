#pragma once
// Move-only owners of the system handles that windows use: each releases what it holds when it
// goes out of scope.

#include <windows.h>

#include "core/UniqueHandle.h"

namespace fw {

struct MenuTraits {
    using Type = HMENU;
    static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct IconTraits {
    using Type = HICON;
    static void Close(HICON icon) { DestroyIcon(icon); }
};
struct KernelHandleTraits {
    using Type = HANDLE;
    static void Close(HANDLE handle) { CloseHandle(handle); }
};

using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

} // namespace fw
