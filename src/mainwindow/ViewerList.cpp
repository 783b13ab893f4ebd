// The list of viewers in the main dialog, and its editing. (Being written.)

#include "mainwindow/MainDialog.h"

void MainDialog::SetUpList() {}
void MainDialog::LoadList() {}
void MainDialog::SaveList() {}
int MainDialog::GetSelectedIndex() const { return -1; }
void MainDialog::UpdateMoveButtons() {}
void MainDialog::OnListItemChanged(NMHDR*, LRESULT*) {}
void MainDialog::OnListDblClk(NMHDR*, LRESULT*) {}
void MainDialog::OnAddEntry() {}
void MainDialog::OnEditEntry() {}
void MainDialog::OnDeleteEntry() {}
void MainDialog::OnMoveUp() {}
void MainDialog::OnMoveDown() {}
