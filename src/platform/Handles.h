#pragma once
// Move-only owners of the system's handles, one for each kind that Brindle holds: each
// releases what it holds when it goes out of scope. The store and the framework use the same
// ones.

#include <windows.h>

#include "core/UniqueHandle.h"
#include "platform/SystemFunctions.h"

// Traits of a handle of type `Handle` that `close` releases.
template <class Handle, auto close> struct ClosedWith {
    using Type = Handle;
    static void Close(Handle handle) { close(handle); }
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
using UniqueKey = UniqueHandle<ClosedWith<HKEY, RegCloseKey>>;
// A kernel object: an event, a process, a thread.
using UniqueKernelHandle = UniqueHandle<ClosedWith<HANDLE, CloseHandle>>;
using UniqueMenu = UniqueHandle<ClosedWith<HMENU, DestroyMenu>>;
using UniqueIcon = UniqueHandle<ClosedWith<HICON, DestroyIcon>>;
using UniqueWindow = UniqueHandle<ClosedWith<HWND, DestroyWindow>>;
using UniqueAcceleratorTable = UniqueHandle<ClosedWith<HACCEL, DestroyAcceleratorTable>>;
// A GDI bitmap.
using UniqueBitmap = UniqueHandle<GdiBitmapTraits>;
