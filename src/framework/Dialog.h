#pragma once
// The modal dialog base: it loads its template, makes its window under the owner rule and
// routes the window's messages to its message table and hooks. Its modal loop
// (ModalLoop.h), its placement (Placement.h), its data exchange (DialogData.cpp) and what it
// keeps at its window's DPI (DpiFollower.h) have files of their own.

#include <windows.h>
#include <functional>
#include <span>
#include <string>

#include "framework/DpiFollower.h"
#include "framework/MessageMap.h"
#include "framework/ModalLoop.h"

namespace fw {

class DataExchange;

class Dialog {
  public:
    // `parent` null: the owner is the main window's last active pop-up at DoModal time (none
    // for the main window itself).
    Dialog(UINT templateId, Dialog* parent = nullptr);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Runs the dialog modally: −1 when the template is missing or the window cannot be made;
    // otherwise the owner is disabled while the dialog runs, enabled and re-activated after,
    // the window is destroyed and the end code is returned (IDOK, IDCANCEL or EndDialog's).
    INT_PTR DoModal();

    // Ends the modal loop with `result` once the current message has been handled.
    void EndDialog(int result);

    // Runs DoDataExchange: controls → members when `saveAndValidate`, members → controls
    // otherwise. FALSE when the exchange failed (after the internal-error message box).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    // Runs a nested message loop for this dialog (as its modal loop does) until `done` holds,
    // `limitMs` have passed or the dialog is ending; `done` is asked at least every 50 ms.
    // True when `done` held.
    bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);

    // A message box owned by this dialog; a null caption becomes the application's name.
    int MessageBox(const std::wstring& text, const wchar_t* caption = nullptr, UINT type = MB_OK);

    // While control `controlId` has the focus, the keys of `keys` click the dialog's buttons
    // (ModalLoop::SetControlKeys); for the dialog's window as it is now.
    void SetControlKeys(int controlId, std::span<const ACCEL> keys) {
        modal.SetControlKeys(Item(controlId), keys);
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

    // The default processing of the message being handled (the dialog manager's).
    LRESULT Default();

    // The window's icons and icon controls, at the dialog's DPI and again when it changes
    // (DpiFollower.h).
    void SetIcons(UINT iconId) { dpiFollower.SetIcons(iconId); }
    HICON SmallIcon() const { return dpiFollower.SmallIcon(); }
    void ShowIcon(int controlId, UINT iconId) { dpiFollower.ShowIcon(controlId, iconId); }

  private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
    const MessageEntry* Find(MessageEntry::Kind kind, UINT message, UINT id, UINT code) const;
    BOOL InitDialog(HWND window);

    UINT templateId;
    Dialog* parent;
    HWND hwnd = nullptr;
    WNDPROC dialogManagerProc = nullptr;
    ModalLoop modal{hwnd};
    CurrentMessage current{};
    bool templateUnplaced = false; // x = y = 0 and no DS_ABSALIGN, DS_CENTER, DS_CENTERMOUSE
    DpiFollower dpiFollower;       // what the window shows in pixels, at its DPI
};

} // namespace fw
