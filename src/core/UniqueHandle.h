#pragma once
// A move-only owner of a system handle: it releases what it holds when it goes out of scope.
// `Traits` names the handle type and how to release it; the owners of each kind are defined
// where their kind is used (registry keys in the store, windows' resources in the framework).

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
