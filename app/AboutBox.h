#pragma once

#include "platform/Dialog.h"

// "About Quorvax": the icon, the version line and an OK button.
class AboutBox : public Dialog {
  public:
    AboutBox();
};
