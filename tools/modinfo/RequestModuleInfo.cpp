// The module-information sequence of the main window.
#include "app/TfrmMain.h"

// Placeholder while the module information dialog is being built.
void TfrmMain::RequestModuleInfo() {}
