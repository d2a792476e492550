#include "scores/NameDialog.h"

#include "res/Resources.h"

NameDialog::NameDialog() : Dialog(kNameDialog) {}

bool NameDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    SetItemText(IDC_NAME_EDIT, name);
    return true;
}

void NameDialog::OnOK() {
    name = GetItemText(IDC_NAME_EDIT);
    EndDialog(IDOK);
}
