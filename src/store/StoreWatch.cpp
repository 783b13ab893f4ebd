#include "store/StoreWatch.h"

namespace {

// The system's wait threads, where the system has them (not before Windows 2000).
template <class Function> Function* Kernel32Function(const char* name) {
    return reinterpret_cast<Function*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), name)));
}
using RegisterWaitFunction = BOOL WINAPI(HANDLE*, HANDLE, WAITORTIMERCALLBACK, void*, ULONG, ULONG);
using UnregisterWaitFunction = BOOL WINAPI(HANDLE, HANDLE);

} // namespace

StoreWatch::StoreWatch(HWND window, UINT message, const char* product)
    : settings(settingsMaker, product), event(CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      window(window), message(message) {
    if (!event || !settings.RootKey())
        return;
    Arm();
    if (auto* registerWait = Kernel32Function<RegisterWaitFunction>("RegisterWaitForSingleObject"))
        registerWait(&wait, event, OnSignal, this, INFINITE, WT_EXECUTEDEFAULT);
}

StoreWatch::~StoreWatch() {
    if (wait) {
        // Waits for a running OnSignal to finish: it uses this object.
        if (auto* unregisterWait = Kernel32Function<UnregisterWaitFunction>("UnregisterWaitEx"))
            unregisterWait(wait, INVALID_HANDLE_VALUE);
    }
    if (event)
        CloseHandle(event);
}

void StoreWatch::Arm() {
    // Asynchronous: the event is set at the next change below the root, then the watch ends
    // until it is armed again.
    RegNotifyChangeKeyValue(settings.RootKey(), TRUE,
                            REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event, TRUE);
}

void CALLBACK StoreWatch::OnSignal(void* self, BOOLEAN) {
    auto* watch = static_cast<StoreWatch*>(self);
    watch->signaled = true;
    if (watch->window)
        PostMessageA(watch->window, watch->message, 0, 0);
}

bool StoreWatch::Changed() {
    if (!event || !settings.RootKey())
        return false;
    // The event is an auto-reset one: either the wait thread took it (and set `signaled`) or
    // it is still set here.
    const bool changed = signaled.exchange(false) || WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
    if (changed)
        Arm();
    return changed;
}
