// resource.h - ids of QXEdit's own resources (res/QXEdit.rc).
// The framework's standard ids are in afxres.h.

#ifndef QXEDIT_RESOURCE_H
#define QXEDIT_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX                    100
#define IDD_HEXEDIT_DIALOG              130
#define IDD_GOTO                        131

// Menu, accelerators, toolbar and its bitmap, application icon,
// document template string
#define IDR_MAINFRAME                   128

// Icon shown in the About box
#define IDI_ABOUT                       129

// The toolbar's images for 144 and 192 DPI (24 x 23 and 32 x 30)
#define IDB_TOOLBAR_24                  310
#define IDB_TOOLBAR_32                  311

// Controls
#define IDC_HEXEDIT                     1000
#define IDC_GOTO_OFFSET                 1001
#define IDC_GOTO_HEX                    1002
#define IDC_GOTO_DEC                    1003
#define IDC_GOTO_RANGE                  1004

// Commands
#define ID_FUNCTION_SETALL00            32771
#define ID_FUNCTION_SETALLFF            32772
#define ID_FUNCTION_OPENFILE            32773
#define ID_FUNCTION_SAVEFILE            32774
#define ID_FUNCTION_DIALOGSAMPLE        32780
#define ID_EDIT_FIND_PREVIOUS           32781
#define ID_EDIT_GOTO                    32782

// The status bar's pane with the caret's offset and value
#define ID_INDICATOR_OFFSET             32790

#endif // QXEDIT_RESOURCE_H
