#include "store/StoreWatch.h"

StoreWatch::StoreWatch(const wchar_t* product)
    : settings(settingsMaker, product), event(CreateEventA(nullptr, FALSE, FALSE, nullptr)) {
    if (event && settings.RootKey())
        Arm();
}

void StoreWatch::Arm() {
    // Asynchronous: the event is set at the next change below the root, then the watch ends
    // until it is armed again.
    RegNotifyChangeKeyValue(settings.RootKey(), TRUE,
                            REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET, event.Get(), TRUE);
}

bool StoreWatch::Changed() {
    if (!event || !settings.RootKey() || WaitForSingleObject(event.Get(), 0) != WAIT_OBJECT_0)
        return false;
    Arm();
    return true;
}
