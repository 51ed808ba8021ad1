// afxdisp.h - the control-container switch, which here only initialises COM.
#pragma once

#include "afxwin.h"

// Initialises COM (OleInitialize) for the calling thread; the application
// undoes it when it exits. No ActiveX control is hosted.
void AfxEnableControlContainer();
// Whether AfxEnableControlContainer has been called.
BOOL AfxIsControlContainerEnabled();
