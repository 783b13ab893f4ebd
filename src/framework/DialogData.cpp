// The dialog's data exchange: the members of Dialog that run DoDataExchange, above
// DataExchange, which binds and fills the dialog's controls.

#include "framework/AppContext.h"
#include "framework/DataExchange.h"
#include "framework/Dialog.h"
#include "resource.h"

namespace fw {

BOOL Dialog::UpdateData(BOOL saveAndValidate) {
    DataExchange dx(*this, saveAndValidate != FALSE);
    DoDataExchange(dx);
    if (dx.InternalError()) {
        MessageBox(LoadText(IDS_INTERNAL_ERROR), nullptr, MB_ICONEXCLAMATION);
        return FALSE;
    }
    return TRUE;
}

BOOL Dialog::OnInitDialog() {
    if (!UpdateData(FALSE))
        EndDialog(-1);
    return TRUE;
}

void Dialog::OnOK() {
    if (UpdateData(TRUE))
        EndDialog(IDOK);
}

void Dialog::DoDataExchange(DataExchange&) {}

} // namespace fw
