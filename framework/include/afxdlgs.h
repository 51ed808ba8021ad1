// afxdlgs.h - the framework's common dialogs: file open and save, print,
// and the modeless find dialog.
#pragma once

#include "afxwin.h"
#include <commdlg.h>

class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd) : CDialog(static_cast<UINT>(0), pParentWnd) {}

    // OK and Cancel are the system dialog's own: a modeless one (find)
    // acts on them itself.
    void OnOK() override;
    void OnCancel() override;

protected:
    // The owner of the dialog: the given parent, else the main window.
    HWND PreModal();
};

class CFileDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: "name|pattern|...|" pairs; NULL gives the dialog no
    // filter list (every file is shown). bVistaStyle TRUE shows the shell's
    // dialog (IFileOpenDialog, IFileSaveDialog), which takes the flags it has
    // options for and ignores OFN_EXPLORER, hooks and templates; FALSE the
    // old-style Explorer dialog (GetOpenFileName, GetSaveFileName) with the
    // flags as given.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = NULL, LPCSTR lpszFileName = NULL,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = NULL,
                         CWnd* pParentWnd = NULL, DWORD dwSize = 0, BOOL bVistaStyle = TRUE);
    ~CFileDialog() override;

    OPENFILENAMEA& GetOFN() { return m_ofn; }
    const OPENFILENAMEA& GetOFN() const { return m_ofn; }
    // IDOK when the user chose a name, IDCANCEL otherwise.
    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;

    OPENFILENAMEA m_ofn;
    BOOL m_bOpenFileDialog;

protected:
    CString m_strFilter;   // the filter with its '|' turned into NULs
    CString m_strDefExt;
    CString m_strTitle;
    BOOL m_bVistaStyle;
    char m_szFileName[MAX_PATH];
    char m_szFileTitle[64];
};

class CPrintDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL bPrintSetupOnly,
                          DWORD dwFlags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE | PD_NOSELECTION,
                          CWnd* pParentWnd = NULL);
    ~CPrintDialog() override;

    INT_PTR DoModal() override;
    // Fills m_pd with the default printer without showing anything.
    BOOL GetDefaults();
    HDC GetPrinterDC() const { return m_pd.hDC; }
    HDC CreatePrinterDC();
    int GetCopies() const;
    CString GetDeviceName() const;

    PRINTDLGA& m_pd;

protected:
    PRINTDLGA m_pdActual;
};

// The common find dialog, modeless: made with new, shown by Create, it
// deletes itself when its window goes. Each of the user's requests reaches
// the owner as the registered message FINDMSGSTRING, whose lParam
// GetNotifier turns back into the dialog.
class CFindReplaceDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFindReplaceDialog)
public:
    CFindReplaceDialog();
    ~CFindReplaceDialog() override;

    // Only the find dialog here (bFindDialogOnly TRUE); dwFlags are
    // FINDREPLACE's (FR_DOWN, FR_MATCHCASE, FR_HIDEWHOLEWORD, ...); the
    // owner is pParentWnd, else the main window.
    virtual BOOL Create(BOOL bFindDialogOnly, LPCSTR lpszFindWhat, LPCSTR lpszReplaceWith = NULL,
                        DWORD dwFlags = FR_DOWN, CWnd* pParentWnd = NULL);
    static CFindReplaceDialog* PASCAL GetNotifier(LPARAM lParam);

    CString GetFindString() const;
    BOOL SearchDown() const { return (m_fr.Flags & FR_DOWN) != 0; }
    BOOL FindNext() const { return (m_fr.Flags & FR_FINDNEXT) != 0; }
    BOOL MatchCase() const { return (m_fr.Flags & FR_MATCHCASE) != 0; }
    BOOL IsTerminating() const { return (m_fr.Flags & FR_DIALOGTERM) != 0; }

    FINDREPLACEA m_fr;

protected:
    void PostNcDestroy() override;

    char m_szFindWhat[128];
    char m_szReplaceWith[128];
};
