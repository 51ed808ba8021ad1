// QXEdit.cpp - the application object: start-up (document template,
// command line, the maximised main window) and the About box.
#include "stdafx.h"
#include "QXEdit.h"
#include "MainFrm.h"
#include "QXEditDoc.h"
#include "QXEditView.h"

BEGIN_MESSAGE_MAP(CQXEditApp, CWinApp)
    ON_COMMAND(ID_APP_ABOUT, &CQXEditApp::OnAppAbout)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
    ON_COMMAND(ID_FILE_OPEN, &CWinApp::OnFileOpen)
    ON_COMMAND(ID_FILE_PRINT_SETUP, &CWinApp::OnFilePrintSetup)
END_MESSAGE_MAP()

// No name: the framework takes the title from the string table.
CQXEditApp::CQXEditApp() {}

// The one application object.
CQXEditApp theApp;

BOOL CQXEditApp::InitInstance()
{
    AfxEnableControlContainer();

    SetRegistryKey("Local AppWizard-Generated Applications");
    LoadStdProfileSettings(4);   // with the most-recently-used file list

    CSingleDocTemplate* pDocTemplate = new CSingleDocTemplate(
        IDR_MAINFRAME, RUNTIME_CLASS(CQXEditDoc), RUNTIME_CLASS(CMainFrame), RUNTIME_CLASS(CQXEditView));
    AddDocTemplate(pDocTemplate);

    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;

    m_pMainWnd->ShowWindow(SW_SHOWMAXIMIZED);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

// ---------------------------------------------------------------------------
// The About box

class CAboutDlg : public CDialog {
public:
    CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
};

void CQXEditApp::OnAppAbout()
{
    CAboutDlg aboutDlg;
    aboutDlg.DoModal();
}
