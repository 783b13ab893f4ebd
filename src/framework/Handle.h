#pragma once
// Move-only owners of system handles: each releases what it holds when it goes out of scope.

#include <windows.h>

namespace fw {

template <class Traits> class UniqueHandle {
  public:
    using Type = typename Traits::Type;

    UniqueHandle() = default;
    explicit UniqueHandle(Type handle) : handle(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        Reset(other.Release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Type Get() const { return handle; }
    explicit operator bool() const { return handle != Type{}; }

    // Gives up ownership without releasing.
    Type Release() {
        Type released = handle;
        handle = Type{};
        return released;
    }

    // Releases the current handle, if any, and takes `replacement`.
    void Reset(Type replacement = Type{}) {
        if (handle != Type{})
            Traits::Close(handle);
        handle = replacement;
    }

  private:
    Type handle{};
};

struct KeyTraits {
    using Type = HKEY;
    static void Close(HKEY key) { RegCloseKey(key); }
};
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

using UniqueKey = UniqueHandle<KeyTraits>;
using UniqueMenu = UniqueHandle<MenuTraits>;
using UniqueIcon = UniqueHandle<IconTraits>;
using UniqueKernelHandle = UniqueHandle<KernelHandleTraits>;

} // namespace fw
