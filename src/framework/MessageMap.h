#pragma once
// A dialog's message table: static data that maps window messages, commands and list
// notifications to member functions. Each entry is made from a typed member pointer, so a
// handler of the wrong shape does not compile.

#include <windows.h>
#include <commctrl.h>

#include <tuple>
#include <type_traits>

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

    bool Handles(UINT number) const {
        return registeredMessage ? *registeredMessage == number : message == number;
    }
};

namespace detail {
template <class T> struct MemberClass;
template <class C, class R, class... A> struct MemberClass<R (C::*)(A...)> { using Type = C; };
template <class T> struct OnlyParameter;
template <class C, class R, class A> struct OnlyParameter<R (C::*)(A)> { using Type = A; };

// Calls `handler` of `dialog` with `args`: its result, or 0 for a handler without one.
template <auto handler, class... A> LRESULT Invoke(Dialog& dialog, A&&... args) {
    using D = typename MemberClass<decltype(handler)>::Type;
    D& self = static_cast<D&>(dialog);
    if constexpr (std::is_void_v<decltype((self.*handler)(static_cast<A&&>(args)...))>) {
        (self.*handler)(static_cast<A&&>(args)...);
        return 0;
    } else {
        return (self.*handler)(static_cast<A&&>(args)...);
    }
}
} // namespace detail

// `message` → handler; the handler is `LRESULT (D::*)(WPARAM, LPARAM)` or `LRESULT (D::*)()`,
// whose result is the message's result, or returns void, and its message then results in 0. A
// handler that wants the default processing as well calls Dialog::Default().
template <auto handler> constexpr MessageEntry MessageHandler(UINT message) {
    using D = typename detail::MemberClass<decltype(handler)>::Type;
    return {MessageEntry::Kind::Message, message, 0, 0,
            [](Dialog& dialog, WPARAM wParam, LPARAM lParam) -> LRESULT {
                if constexpr (std::is_invocable_v<decltype(handler), D&, WPARAM, LPARAM>)
                    return detail::Invoke<handler>(dialog, wParam, lParam);
                else
                    return detail::Invoke<handler>(dialog);
            }};
}

// The parameters of system message `message`, unpacked: Of(wParam, lParam) is what its handler
// is given, typed. A message without a specialisation has no unpacked handler.
template <UINT message> struct MessageParameters;

// (WINDOWPOS& position): the handler may change the position.
template <> struct MessageParameters<WM_WINDOWPOSCHANGING> {
    static auto Of(WPARAM, LPARAM lParam) {
        return std::tuple<WINDOWPOS&>(*reinterpret_cast<WINDOWPOS*>(lParam));
    }
};
// (UINT command): the command without the low four bits that the system uses itself.
template <> struct MessageParameters<WM_SYSCOMMAND> {
    static auto Of(WPARAM wParam, LPARAM) { return std::tuple<UINT>(wParam & 0xFFF0); }
};
// (bool shown, UINT status): status 0 when ShowWindow was called, else why the system shows or
// hides the window.
template <> struct MessageParameters<WM_SHOWWINDOW> {
    static auto Of(WPARAM wParam, LPARAM lParam) {
        return std::tuple<bool, UINT>(wParam != 0, static_cast<UINT>(lParam));
    }
};
// (UINT_PTR id): the timer's id.
template <> struct MessageParameters<WM_TIMER> {
    static auto Of(WPARAM wParam, LPARAM) { return std::tuple<UINT_PTR>(wParam); }
};
// (wchar_t key, UINT flags, HMENU menu): the character typed in the open `menu`; `flags` are
// MF_POPUP or MF_SYSMENU.
template <> struct MessageParameters<WM_MENUCHAR> {
    static auto Of(WPARAM wParam, LPARAM lParam) {
        return std::tuple<wchar_t, UINT, HMENU>(static_cast<wchar_t>(LOWORD(wParam)),
                                                HIWORD(wParam), reinterpret_cast<HMENU>(lParam));
    }
};
// (UINT source, HWND window): MSGF_MENU or MSGF_DIALOGBOX, and the menu's or dialog's window.
template <> struct MessageParameters<WM_ENTERIDLE> {
    static auto Of(WPARAM wParam, LPARAM lParam) {
        return std::tuple<UINT, HWND>(static_cast<UINT>(wParam), reinterpret_cast<HWND>(lParam));
    }
};
// (MEASUREITEMSTRUCT& measure): the handler fills in the item's size.
template <> struct MessageParameters<WM_MEASUREITEM> {
    static auto Of(WPARAM, LPARAM lParam) {
        return std::tuple<MEASUREITEMSTRUCT&>(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
    }
};
// (const DRAWITEMSTRUCT& draw).
template <> struct MessageParameters<WM_DRAWITEM> {
    static auto Of(WPARAM, LPARAM lParam) {
        return std::tuple<const DRAWITEMSTRUCT&>(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    }
};

// `message` → handler with the message's parameters unpacked (MessageParameters<message>); its
// result is the message's, or 0 for a handler without one, as for MessageHandler.
template <UINT message, auto handler> constexpr MessageEntry CrackedHandler() {
    return {MessageEntry::Kind::Message, message, 0, 0,
            [](Dialog& dialog, WPARAM wParam, LPARAM lParam) -> LRESULT {
                return std::apply(
                    [&dialog](auto&&... parameters) {
                        return detail::Invoke<handler>(dialog, parameters...);
                    },
                    MessageParameters<message>::Of(wParam, lParam));
            }};
}

// A message of the application's own that carries one value in wParam → `(D::*)(T value)`,
// given wParam as T; its result as for MessageHandler.
template <auto handler> constexpr MessageEntry WParamHandler(UINT message) {
    using T = typename detail::OnlyParameter<decltype(handler)>::Type;
    return {MessageEntry::Kind::Message, message, 0, 0,
            [](Dialog& dialog, WPARAM wParam, LPARAM) -> LRESULT {
                return detail::Invoke<handler>(dialog, static_cast<T>(wParam));
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
