#include "app/MainWindow.h"
#include "platform/Platform.h"

bool MainWindow::CreateGlContext() {
    switch (Sys().CreateGlContext(*this)) {
        case GlContextResult::Ok:
            return true;
        case GlContextResult::NoPixelFormat:
            MessageBox("ChoosePixelFormat failed", Sys().ProgramName().c_str());
            return false;
        case GlContextResult::CannotMakeCurrent:
            MessageBox("SetPixelFormat failed", Sys().ProgramName().c_str());
            return false;
    }
    return false;
}

void MainWindow::ReleaseGlContext() {
    Sys().ReleaseGlContext();
}
