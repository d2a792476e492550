#pragma once

#include <string>

#include "platform/Dialog.h"

// The small modal dialog "Enter Your Name" that ScoreTable::Insert opens
// when a result enters the table. Its one field starts empty and has the
// keyboard focus; Enter keeps what was typed, Escape and the close box
// leave the name empty.
class NameDialog : public Dialog {
  public:
    NameDialog();

    // Opening: the field starts with `name` (empty).
    bool OnInitDialog() override;
    // Enter: the field's text goes into `name`, then the dialog closes.
    void OnOK() override;

    // The accepted name in Windows-1252 bytes; read after DoModal returns.
    std::string name;
};
