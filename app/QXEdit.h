// QXEdit.h - the application class of QXEdit.
#pragma once

#include "resource.h"

class CQXEditApp : public CWinApp {
public:
    CQXEditApp();

    BOOL InitInstance() override;

    afx_msg void OnAppAbout();
    DECLARE_MESSAGE_MAP()
};

extern CQXEditApp theApp;
