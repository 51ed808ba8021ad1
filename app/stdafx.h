// stdafx.h - the framework headers every source file of QXEdit uses.
#pragma once

#include <afxwin.h>   // core and standard components
#include <afxext.h>   // control bars
#include <afxdisp.h>  // control containment
#include <afxdlgs.h>  // common dialogs
