// QXEditView.cpp - the view: creates the control over its whole client area
// with the 4096 sample bytes (or the file named on the command line), keeps
// it sized to the client area and passes the keyboard focus on to it; its
// commands fill the control's bytes, open and save them as the document's
// file through dialogs set up as the control's own, and open the dialog
// sample; the document's files are loaded and saved by the control.
// Printing prints blank pages.
#include "stdafx.h"
#include "QXEdit.h"
#include "QXEditDoc.h"
#include "QXEditView.h"
#include "DlgHexEditorInDialogTest.h"

IMPLEMENT_DYNCREATE(CQXEditView, CView)

// What the find dialog sends its owner, the view, for each request.
static UINT s_nFindReplaceMessage = ::RegisterWindowMessage(FINDMSGSTRING);

BEGIN_MESSAGE_MAP(CQXEditView, CView)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_COMMAND(ID_FUNCTION_SETALL00, &CQXEditView::OnSetAll00)
    ON_COMMAND(ID_FUNCTION_SETALLFF, &CQXEditView::OnSetAllFF)
    ON_COMMAND(ID_FUNCTION_OPENFILE, &CQXEditView::OnOpenFile)
    ON_COMMAND(ID_FUNCTION_SAVEFILE, &CQXEditView::OnSaveFile)
    ON_WM_SETFOCUS()
    ON_COMMAND(ID_FILE_PRINT, &CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, &CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CView::OnFilePrintPreview)
    ON_COMMAND(ID_FUNCTION_DIALOGSAMPLE, &CQXEditView::OnDialogSample)
    ON_COMMAND(ID_EDIT_UNDO, &CQXEditView::OnEditUndo)
    ON_COMMAND(ID_EDIT_REDO, &CQXEditView::OnEditRedo)
    ON_COMMAND(ID_EDIT_CUT, &CQXEditView::OnEditCut)
    ON_COMMAND(ID_EDIT_COPY, &CQXEditView::OnEditCopy)
    ON_COMMAND(ID_EDIT_PASTE, &CQXEditView::OnEditPaste)
    ON_COMMAND(ID_EDIT_SELECT_ALL, &CQXEditView::OnEditSelectAll)
    ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, &CQXEditView::OnUpdateEditUndo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, &CQXEditView::OnUpdateEditRedo)
    ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, &CQXEditView::OnUpdateEditCutCopy)
    ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, &CQXEditView::OnUpdateEditCutCopy)
    ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, &CQXEditView::OnUpdateEditPaste)
    ON_UPDATE_COMMAND_UI(ID_EDIT_SELECT_ALL, &CQXEditView::OnUpdateEditSelectAll)
    ON_COMMAND(ID_EDIT_FIND, &CQXEditView::OnEditFind)
    ON_COMMAND(ID_EDIT_REPEAT, &CQXEditView::OnEditFindNext)
    ON_COMMAND(ID_EDIT_FIND_PREVIOUS, &CQXEditView::OnEditFindPrevious)
    ON_COMMAND(ID_EDIT_GOTO, &CQXEditView::OnEditGoto)
    ON_UPDATE_COMMAND_UI(ID_EDIT_FIND, &CQXEditView::OnUpdateEditFind)
    ON_UPDATE_COMMAND_UI(ID_EDIT_REPEAT, &CQXEditView::OnUpdateEditFind)
    ON_UPDATE_COMMAND_UI(ID_EDIT_FIND_PREVIOUS, &CQXEditView::OnUpdateEditFind)
    ON_UPDATE_COMMAND_UI(ID_EDIT_GOTO, &CQXEditView::OnUpdateEditFind)
    ON_REGISTERED_MESSAGE(s_nFindReplaceMessage, &CQXEditView::OnFindReplace)
    ON_EN_CHANGE(1, &CQXEditView::OnHexChange)
    ON_NOTIFY(EN_SELCHANGE, 1, &CQXEditView::OnHexSelChange)
    ON_UPDATE_COMMAND_UI(ID_INDICATOR_OFFSET, &CQXEditView::OnUpdateIndicatorOffset)
END_MESSAGE_MAP()

CQXEditView::CQXEditView() {}

CQXEditView::~CQXEditView() {}

CQXEditDoc* CQXEditView::GetDocument() const
{
    return static_cast<CQXEditDoc*>(m_pDocument);
}

BOOL CQXEditView::PreCreateWindow(CREATESTRUCT& cs)
{
    return CView::PreCreateWindow(cs);
}

void CQXEditView::OnInitialUpdate()
{
    CView::OnInitialUpdate();

    // The framework repeats the initial update when New or Open renews the
    // document in place: the control keeps its one window and its bytes.
    if (::IsWindow(m_wndHexEdit.GetSafeHwnd()))
        return;

    CRect rect;
    GetClientRect(&rect);
    m_wndHexEdit.Create(rect, this, 1);
    // The status pane follows the caret, the selection and the bytes.
    m_wndHexEdit.SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    ShowSampleBytes();

    // A file named on the command line named the document before the
    // control existed; now the control reads it. One it cannot read (it
    // says why) leaves a new document with the sample bytes.
    CQXEditDoc* pDoc = GetDocument();
    if (pDoc != NULL && HasControl() && !pDoc->GetPathName().IsEmpty() &&
        !m_wndHexEdit.LoadFile(pDoc->GetPathName())) {
        pDoc->GetDocTemplate()->SetDefaultTitle(pDoc);
        pDoc->OnNewDocument();
    }
}

void CQXEditView::ShowSampleBytes()
{
    CByteArray data;
    for (int i = 0; i < 4096; ++i)
        data.Add(static_cast<BYTE>(i));
    m_wndHexEdit.SetData(&data);
    UpdateStatus();
}

BOOL CQXEditView::HasControl() const
{
    return ::IsWindow(m_wndHexEdit.GetSafeHwnd());
}

BOOL CQXEditView::LoadDocumentFile(LPCSTR lpszPathName)
{
    m_bFileWorkRunning = TRUE;
    BOOL bLoaded = m_wndHexEdit.LoadFile(lpszPathName);
    FileWorkOver();
    UpdateStatus();
    return bLoaded;
}

BOOL CQXEditView::IsFileWorkRunning() const
{
    return m_bFileWorkRunning;
}

void CQXEditView::CloseAfterFileWork()
{
    m_bCloseAfterFileWork = TRUE;
}

// A close asked for during the work comes again once the commands that
// started it have returned.
void CQXEditView::FileWorkOver()
{
    m_bFileWorkRunning = FALSE;
    if (m_bCloseAfterFileWork) {
        m_bCloseAfterFileWork = FALSE;
        GetParentFrame()->PostMessage(WM_CLOSE);
    }
}

BOOL CQXEditView::SaveDocumentFile(LPCSTR lpszPathName)
{
    // SaveFile clears the modified flag once the file holds the bytes and
    // leaves it as it was otherwise: set beforehand, it tells which.
    BOOL bWasModified = m_wndHexEdit.GetModify();
    m_wndHexEdit.SetModify(TRUE);
    m_bFileWorkRunning = TRUE;
    m_wndHexEdit.SaveFile(lpszPathName);
    FileWorkOver();
    BOOL bSaved = !m_wndHexEdit.GetModify();
    if (!bSaved)
        m_wndHexEdit.SetModify(bWasModified);
    UpdateStatus();
    return bSaved;
}

BOOL CQXEditView::IsBytesModified() const
{
    return m_wndHexEdit.GetModify();
}

void CQXEditView::SetBytesModified(BOOL bModified)
{
    m_wndHexEdit.SetModify(bModified);
    UpdateStatus();
}

void CQXEditView::OnDraw(CDC*)
{
}

void CQXEditView::OnSize(UINT, int, int)
{
    Default();
    if (::IsWindow(m_wndHexEdit.GetSafeHwnd())) {
        CRect rect;
        GetClientRect(&rect);
        m_wndHexEdit.MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
    }
}

BOOL CQXEditView::OnEraseBkgnd(CDC*)
{
    return TRUE;   // the control paints the whole client area
}

void CQXEditView::OnSetFocus(CWnd* pOldWnd)
{
    CView::OnSetFocus(pOldWnd);
    // Before the initial update there is no control to take the focus, and
    // SetFocus on no window would take the focus away from the view.
    if (::IsWindow(m_wndHexEdit.GetSafeHwnd()))
        m_wndHexEdit.SetFocus();
}

// The fill commands act on the control at once; they have no update
// handlers and are enabled while the view is active.

void CQXEditView::OnSetAll00()
{
    FillAll(0x00);
}

void CQXEditView::OnSetAllFF()
{
    FillAll(0xFF);
}

void CQXEditView::FillAll(BYTE byFill)
{
    if (m_wndHexEdit.GetDataSize() > m_wndHexEdit.GetUndoLimit()) {
        CString strAsk;
        strAsk.Format("Riempire tutti i %I64d byte? La modifica supera il limite di annullamento "
                      "e non potr\xE0 essere annullata.",
                      m_wndHexEdit.GetDataSize());
        if (AfxMessageBox(strAsk, MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
    }
    m_wndHexEdit.Fill(byFill);
}

// The Edit menu's commands are the control's own messages, as an edit
// control's: the menu's items are enabled only where the control can act.

void CQXEditView::OnEditUndo()
{
    m_wndHexEdit.Undo();
}

void CQXEditView::OnEditRedo()
{
    m_wndHexEdit.SendMessage(EM_REDO);
}

void CQXEditView::OnEditCut()
{
    m_wndHexEdit.Cut();
}

void CQXEditView::OnEditCopy()
{
    m_wndHexEdit.Copy();
}

void CQXEditView::OnEditPaste()
{
    m_wndHexEdit.Paste();
}

void CQXEditView::OnEditSelectAll()
{
    m_wndHexEdit.SendMessage(EM_SETSEL, 0, -1);
}

void CQXEditView::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasControl() && m_wndHexEdit.CanUndo());
}

void CQXEditView::OnUpdateEditRedo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasControl() && m_wndHexEdit.SendMessage(EM_CANREDO) != 0);
}

void CQXEditView::OnUpdateEditCutCopy(CCmdUI* pCmdUI)
{
    LONGLONG nFirst, nLast;
    pCmdUI->Enable(HasControl() && m_wndHexEdit.GetSelection(nFirst, nLast));
}

void CQXEditView::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasControl() && m_wndHexEdit.SendMessage(EM_CANPASTE) != 0);
}

void CQXEditView::OnUpdateEditSelectAll(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(HasControl() && m_wndHexEdit.GetDataSize() > 0);
}

// "OpenFile" and "SaveFile" show the dialogs of the control's OpenFile and
// SaveFileAs (no default extension, "*.*" as the initial name, the same
// flags), and the file chosen becomes the document's: an open asks about
// edits as Ctrl+O does, and the title follows the load or the save.

void CQXEditView::OnOpenFile()
{
    CFileDialog dlg(TRUE, NULL, "*.*", 0x280108, "All Files (*.*) |*.*||", NULL, 0, FALSE);
    dlg.GetOFN().Flags |= 0x80004;
    if (dlg.DoModal() != IDOK)
        return;
    CQXEditDoc* pDoc = GetDocument();
    if (pDoc != NULL && pDoc->GetDocTemplate() != NULL)
        pDoc->GetDocTemplate()->OpenDocumentFile(dlg.GetPathName());
}

void CQXEditView::OnSaveFile()
{
    CFileDialog dlg(FALSE, NULL, "*.*", 0x280108, "All Files (*.*) |*.*||", NULL, 0, FALSE);
    dlg.GetOFN().Flags |= 0x80004;
    if (dlg.DoModal() != IDOK)
        return;
    CQXEditDoc* pDoc = GetDocument();
    if (pDoc != NULL)
        pDoc->DoSave(dlg.GetPathName());
}

// A second control in a modal dialog, with the sample bytes of its own; what
// is edited there is dropped with the dialog.
void CQXEditView::OnDialogSample()
{
    CDlgHexEditorInDialogTest dlg(this);
    dlg.DoModal();
}

BOOL CQXEditView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CQXEditView::OnBeginPrinting(CDC*, CPrintInfo*)
{
}

void CQXEditView::OnEndPrinting(CDC*, CPrintInfo*)
{
}
