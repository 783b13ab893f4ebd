#pragma once
// Tells the resident instance when its viewers change in the registry, whoever changes them:
// Brindle itself, `reg import` of a backup, regedit, another Brindle.

#include <windows.h>

#include <atomic>

#include "store/ViewerStore.h"

class StoreWatch {
  public:
    // Watches the settings of `product` with everything below them. When `window` is given,
    // `message` is posted to it after each change (where the system can wait for the watch on
    // its own threads; elsewhere only Changed() tells).
    explicit StoreWatch(HWND window = nullptr, UINT message = 0,
                        const char* product = settingsProduct);
    ~StoreWatch();
    StoreWatch(const StoreWatch&) = delete;
    StoreWatch& operator=(const StoreWatch&) = delete;

    // True when the store changed since the last call (or since the watch began), so that
    // what was read from it before may be stale; the watch goes on.
    bool Changed();

  private:
    void Arm();
    static void CALLBACK OnSignal(void* self, BOOLEAN timedOut);

    SettingsKey settings;
    HANDLE event;
    HANDLE wait = nullptr;
    HWND window;
    UINT message;
    std::atomic<bool> signaled{false};
};
