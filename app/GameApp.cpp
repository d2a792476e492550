#include "app/GameApp.h"

#include "app/MainWindow.h"

bool GameApp::InitInstance() {
    MainWindow dlg;
    dlg.DoModal();
    return false;
}
