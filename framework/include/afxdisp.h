// afxdisp.h - the framework's ActiveX control containment.
#pragma once

#include "afxwin.h"

// Makes the application able to contain ActiveX controls on its dialogs
// and views. Initialises COM (OleInitialize) for the calling thread; the
// application undoes it when it exits.
void AfxEnableControlContainer();
// Whether AfxEnableControlContainer has been called.
BOOL AfxIsControlContainerEnabled();
