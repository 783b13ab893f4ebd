#pragma once
// Move-only owners of the system's handles, one for each kind that Brindle holds: each
// releases what it holds when it goes out of scope. The store and the framework use the same
// ones.

#include <windows.h>

#include "core/UniqueHandle.h"
#include "platform/SystemFunctions.h"

struct KeyTraits {
    using Type = HKEY;
    static void Close(HKEY key) { RegCloseKey(key); }
};
struct KernelHandleTraits {
    using Type = HANDLE;
    static void Close(HANDLE handle) { CloseHandle(handle); }
};
struct MenuTraits {
    using Type = HMENU;
    static void Close(HMENU menu) { DestroyMenu(menu); }
};
struct IconTraits {
    using Type = HICON;
    static void Close(HICON icon) { DestroyIcon(icon); }
};
struct GdiBitmapTraits {
    using Type = HBITMAP;
    // GDI is bound at run time (a start that only hands its file over never loads it); a
    // bitmap exists only once it is loaded.
    static void Close(HBITMAP bitmap) {
        if (auto* deleteObject = platform::deleteObject.Get())
            deleteObject(bitmap);
    }
};

// An open registry key.
using UniqueKey = UniqueHandle<KeyTraits>;
// A kernel object: an event, a process, a thread.
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
// A GDI bitmap.
using UniqueBitmap = UniqueHandle<GdiBitmapTraits>;
