#pragma once
// A dialog's message table: static data that maps window messages, commands and list
// notifications to member functions. Each entry is made from a typed member pointer, so a
// handler of the wrong shape does not compile.

#include <windows.h>
#include <commctrl.h>

namespace fw {

class Dialog;

struct MessageEntry {
    enum class Kind : unsigned char { Message, Command, Notify };
    Kind kind;
    UINT message; // Kind::Message: the window message
    UINT id;      // Kind::Command and Kind::Notify: the control or command id
    UINT code;    // Kind::Notify: the notification code
    LRESULT (*invoke)(Dialog& dialog, WPARAM wParam, LPARAM lParam);
    // Kind::Message for a registered message, whose number is known only at run time.
    const UINT* registeredMessage = nullptr;
    // Kind::Command for a range of command ids: the last id of the range (from `id`).
    UINT lastId = 0;

    bool Handles(UINT number) const {
        return registeredMessage ? *registeredMessage == number : message == number;
    }
    bool HandlesId(UINT number) const {
        return lastId ? id <= number && number <= lastId : id == number;
    }
};

namespace detail {
template <class T> struct MemberClass;
template <class C, class R, class... A> struct MemberClass<R (C::*)(A...)> { using Type = C; };
} // namespace detail

// `message` → handler; the handler is `LRESULT (D::*)(WPARAM, LPARAM)`, whose result is the
// message's result, or `void (D::*)()`, whose message then results in 0. A handler that wants
// the default processing as well calls Dialog::Default().
template <auto handler> constexpr MessageEntry MessageHandler(UINT message) {
    using D = typename detail::MemberClass<decltype(handler)>::Type;
    return {MessageEntry::Kind::Message, message, 0, 0,
            [](Dialog& dialog, WPARAM wParam, LPARAM lParam) -> LRESULT {
                D& self = static_cast<D&>(dialog);
                if constexpr (requires { (self.*handler)(wParam, lParam); }) {
                    return (self.*handler)(wParam, lParam);
                } else {
                    (void)wParam;
                    (void)lParam;
                    (self.*handler)();
                    return 0;
                }
            }};
}

// The registered message whose number `message` holds at run time → handler, as above.
template <auto handler> constexpr MessageEntry RegisteredMessageHandler(const UINT& message) {
    MessageEntry entry = MessageHandler<handler>(0);
    entry.registeredMessage = &message;
    return entry;
}

// A click of button `id` (or a menu command `id`) → `void (D::*)()`.
template <auto handler> constexpr MessageEntry CommandHandler(UINT id) {
    using D = typename detail::MemberClass<decltype(handler)>::Type;
    return {MessageEntry::Kind::Command, WM_COMMAND, id, 0,
            [](Dialog& dialog, WPARAM, LPARAM) -> LRESULT {
                (static_cast<D&>(dialog).*handler)();
                return 0;
            }};
}

// A command with an id from `firstId` to `lastId` → `void (D::*)(UINT id)`.
template <auto handler> constexpr MessageEntry CommandRangeHandler(UINT firstId, UINT lastId) {
    using D = typename detail::MemberClass<decltype(handler)>::Type;
    MessageEntry entry{MessageEntry::Kind::Command, WM_COMMAND, firstId, 0,
                       [](Dialog& dialog, WPARAM wParam, LPARAM) -> LRESULT {
                           (static_cast<D&>(dialog).*handler)(LOWORD(wParam));
                           return 0;
                       }};
    entry.lastId = lastId;
    return entry;
}

// Notification `code` from control `id` (WM_NOTIFY) → `void (D::*)(NMHDR*, LRESULT*)`; the
// handler sets the notification's result, which starts as 0.
template <auto handler> constexpr MessageEntry NotifyHandler(UINT id, UINT code) {
    using D = typename detail::MemberClass<decltype(handler)>::Type;
    return {MessageEntry::Kind::Notify, WM_NOTIFY, id, code,
            [](Dialog& dialog, WPARAM, LPARAM lParam) -> LRESULT {
                LRESULT result = 0;
                (static_cast<D&>(dialog).*handler)(reinterpret_cast<NMHDR*>(lParam), &result);
                return result;
            }};
}

} // namespace fw
