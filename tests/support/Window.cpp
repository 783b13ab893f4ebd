#include "support/Window.h"

#include "support/TestText.h"

#include <algorithm>

#include "instance/Identity.h"

namespace testsupport {

namespace {

struct WindowSearch {
    DWORD processId;
    DWORD threadId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD processId = 0;
    const DWORD threadId = GetWindowThreadProcessId(window, &processId);
    if (processId == search->processId && (!search->threadId || threadId == search->threadId))
        search->found.push_back(window);
    return TRUE;
}

} // namespace

void PressKey(HWND menu, WORD key) {
    PostMessageA(menu, WM_KEYDOWN, key, 1);
    PostMessageA(menu, WM_KEYUP, key, 0xC0000001);
}

void TypeKey(WORD key, WORD modifier) {
    std::vector<INPUT> events;
    auto add = [&](WORD virtualKey, DWORD flags) {
        INPUT event{};
        event.type = INPUT_KEYBOARD;
        event.ki.wVk = virtualKey;
        event.ki.dwFlags = flags;
        events.push_back(event);
    };
    if (modifier)
        add(modifier, 0);
    add(key, 0);
    add(key, KEYEVENTF_KEYUP);
    if (modifier)
        add(modifier, KEYEVENTF_KEYUP);
    SendInput(static_cast<UINT>(events.size()), events.data(), sizeof(INPUT));
}

HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

std::wstring WideTextOf(HWND window) {
    std::wstring text(static_cast<size_t>(std::max(GetWindowTextLengthW(window), 0)) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(std::max(copied, 0)));
    return text;
}

std::string TextOf(HWND window) {
    return Cp932Of(WideTextOf(window));
}

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::vector<HWND> TopLevelWindows(DWORD processId, DWORD threadId) {
    WindowSearch search{processId, threadId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// FindWindowExA filters by class and title in one call, so that a benchmark polling for a
// window reads it soon after it appears.
HWND FindWindowOf(DWORD processId, const char* className, const char* title, bool visibleOnly) {
    // The title compared as the tests write it, whatever the system's code page.
    for (HWND window = FindWindowExA(nullptr, nullptr, className, nullptr); window;
         window = FindWindowExA(nullptr, window, className, nullptr)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if ((!processId || owner == processId) && (!visibleOnly || IsWindowVisible(window)) &&
            (!title || TextOf(window) == title))
            return window;
    }
    return nullptr;
}

HWND WaitForWindow(DWORD processId, const char* className, const char* title, DWORD limitMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(processId, className, title, true)) != nullptr; },
              limitMs);
    return found;
}

void SendWithDeadline(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, waitLimitMs, &result);
}

void SyncWith(HWND window) {
    SendWithDeadline(window, WM_NULL);
    SendWithDeadline(window, WM_NULL);
}

HWND VisibleMenuOf(DWORD processId) {
    return FindWindowOf(processId, "#32768", nullptr, true);
}

HWND WaitForMenu(DWORD processId) {
    return WaitForWindow(processId, "#32768", nullptr);
}

void PickMenuItem(HWND menu, int index) {
    PressKey(menu, VK_HOME);
    for (int i = 0; i < index; ++i)
        PressKey(menu, VK_DOWN);
    PressKey(menu, VK_RETURN);
}

void DismissMenu(HWND menu) {
    PressKey(menu, VK_ESCAPE);
}

bool PickMenusUntil(DWORD processId, int index, const std::function<bool()>& done, DWORD limitMs) {
    // Long enough for a busy menu to take its keys; picking again then picks the same item.
    constexpr DWORD pickAgainMs = 1500;
    HWND picked = nullptr;
    DWORD pickedAt = 0;
    return WaitUntil(
        [&] {
            if (done())
                return true;
            if (HWND menu = VisibleMenuOf(processId);
                menu && (menu != picked || GetTickCount() - pickedAt >= pickAgainMs)) {
                // The number key chooses the item whatever is highlighted; under Wine the mouse
                // move that a menu opening under the pointer gets may take a highlight away
                // between arrow keys.
                if (index < 9)
                    PressKey(menu, static_cast<WORD>('1' + index));
                else
                    PickMenuItem(menu, index);
                picked = menu;
                pickedAt = GetTickCount();
            }
            return false;
        },
        limitMs);
}

// The message is the text of its static controls; the icon is a static of its own.
MessageBoxView ReadMessageBox(HWND box) {
    MessageBoxView view{GetWindow(box, GW_OWNER), TextOf(box), {}, nullptr};
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) != "Static")
            continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
            view.icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        else
            view.text += TextOf(child);
    }
    return view;
}

HICON ExclamationIcon() {
    return LoadIconA(nullptr, IDI_EXCLAMATION);
}

HWND WaitForMessageBox(DWORD processId) {
    return WaitForWindow(processId, "#32770", applicationName);
}

void PostCommand(HWND window, int id) {
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
}

} // namespace testsupport
