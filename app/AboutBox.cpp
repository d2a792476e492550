#include "app/AboutBox.h"

#include "res/Resources.h"

AboutBox::AboutBox() : Dialog(kAboutDialog) {}
