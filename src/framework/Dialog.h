#pragma once
// The dialog base: it runs its template with the system's dialog manager, modally in the
// system's own loop or as the program's main window in the message pump (MessagePump.h), and
// its dialog procedure routes the window's messages to its message table and hooks. Its data
// exchange (DialogData.cpp) and what it keeps at its window's DPI (DpiFollower.h) have files of
// their own.

#include <windows.h>
#include <functional>
#include <span>
#include <string>

#include "framework/DpiFollower.h"
#include "framework/MessageMap.h"
#include "framework/MessagePump.h"

namespace fw {

class DataExchange;

class Dialog {
  public:
    // `parent` null: the owner is the main window's last active pop-up when the dialog starts
    // (none for the main window itself).
    Dialog(UINT templateId, Dialog* parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally in the system's loop: −1 when the template is missing or the
    // window cannot be made; otherwise the system disables the owner while the dialog runs,
    // enables and activates it again after, destroys the window and the end code is returned
    // (IDOK, IDCANCEL or EndDialog's).
    INT_PTR DoModal();

    // Runs the dialog as the program's main window: modeless, shown as its template says, with
    // the message pump as the thread's loop, until EndDialog, a WM_QUIT (posted again) or the
    // window's end. Then the window is destroyed and the end code returned (−1 without one, or
    // when the template is missing). Only here do the control keys (SetControlKeys) work.
    INT_PTR RunModeless();

    // Ends the dialog with `result` once the current message has been handled.
    void EndDialog(int result);

    // Runs DoDataExchange: controls → members when `saveAndValidate`, members → controls
    // otherwise. FALSE when the exchange failed (after the internal-error message box).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Pumps messages for this dialog (as RunModeless does) until `done` holds, `limitMs` have
    // passed or the dialog is ending; `done` is asked at least every 50 ms. True when `done`
    // held.
    bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);

    // A message box owned by this dialog; a null caption becomes the application's name.
    int MessageBox(const std::wstring& text, const wchar_t* caption = nullptr, UINT type = MB_OK);

    // While control `controlId` has the focus, the keys of the accelerator table `keys` send
    // the dialog their commands (MessagePump::SetControlKeys), as clicks of the buttons with
    // those ids do; for the dialog's window as it is now, run by RunModeless.
    void SetControlKeys(int controlId, std::span<const ACCEL> keys) {
        pump.SetControlKeys(Item(controlId), keys);
    }

    HWND Hwnd() const { return hwnd; }
    HWND Item(int id) const { return GetDlgItem(hwnd, id); }
    BOOL ShowWindow(int command) { return ::ShowWindow(hwnd, command); }

  protected:
    // Default: UpdateData(FALSE), ending the dialog with −1 when that fails; returns TRUE
    // (the dialog manager then focuses the first tab stop).
    virtual BOOL OnInitDialog();
    // Default: UpdateData(TRUE), then EndDialog(IDOK) when that succeeded.
    virtual void OnOK();
    // Default: EndDialog(IDCANCEL), without data exchange.
    virtual void OnCancel();
    // Command dispatch: the message table's command entries, then IDOK → OnOK and
    // IDCANCEL → OnCancel. TRUE when the command was handled.
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Binds controls and exchanges values; the default exchanges nothing.
    virtual void DoDataExchange(DataExchange& dx);
    // The dialog's message table; the default has none.
    virtual std::span<const MessageEntry> MessageTable() const { return {}; }

    // Asks for the dialog manager's own processing of the message being handled: it runs once
    // the handler has returned, and its result is the message's (the handler's is ignored).
    // Returns 0.
    LRESULT Default() {
        defaultAsked = true;
        return 0;
    }

    // The window's icons and icon controls, at the dialog's DPI and again when it changes
    // (DpiFollower.h).
    void SetIcons(UINT iconId) { dpiFollower.SetIcons(iconId); }
    HICON SmallIcon() const { return dpiFollower.SmallIcon(); }
    void ShowIcon(int controlId, UINT iconId) { dpiFollower.ShowIcon(controlId, iconId); }

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam,
                                       LPARAM lParam) noexcept;
    // True with `result` when the message table or OnCommand handled the message and did not
    // ask for the default processing.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    const MessageEntry* Find(MessageEntry::Kind kind, UINT message, UINT id, UINT code) const;
    BOOL InitDialog(HWND window);
    // The template, loaded from the resources; null when there is none.
    LPCDLGTEMPLATEW LoadTemplate() const;
    HWND Owner() const;

    UINT templateId;
    Dialog* parent;
    HWND hwnd = nullptr;
    bool modal = false;
    int endResult = -1;        // RunModeless's
    bool defaultAsked = false; // by the handler of the message being handled
    MessagePump pump;          // RunModeless's loop, and PumpUntil's
    DpiFollower dpiFollower;   // what the window shows in pixels, at its DPI
};

} // namespace fw
