// print.cpp - printing: the print dialog and the application's printer
// settings, a view's print job (prepare, begin, pages, end) and its print
// preview.
#include "afximpl.h"
#include "afxdlgs.h"

IMPLEMENT_DYNAMIC(CPrintDialog, CCommonDialog)

// ---------------------------------------------------------------------------
// CPrintDialog

CPrintDialog::CPrintDialog(BOOL bPrintSetupOnly, DWORD dwFlags, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_pd(m_pdActual)
{
    memset(&m_pdActual, 0, sizeof m_pdActual);
    m_pd.lStructSize = sizeof m_pdActual;
    m_pd.Flags = dwFlags & ~PD_RETURNDC;
    if (bPrintSetupOnly)
        m_pd.Flags |= PD_PRINTSETUP;
    else
        m_pd.Flags |= PD_RETURNDC;
    m_pd.nCopies = 1;
}

CPrintDialog::~CPrintDialog()
{
    if (m_pd.hDC != NULL)
        ::DeleteDC(m_pd.hDC);
}

INT_PTR CPrintDialog::DoModal()
{
    m_pd.hwndOwner = PreModal();
    return ::PrintDlgA(&m_pd) ? IDOK : IDCANCEL;
}

BOOL CPrintDialog::GetDefaults()
{
    m_pd.Flags |= PD_RETURNDEFAULT;
    m_pd.hwndOwner = NULL;
    BOOL bResult = ::PrintDlgA(&m_pd);
    m_pd.Flags &= ~PD_RETURNDEFAULT;
    return bResult;
}

HDC CPrintDialog::CreatePrinterDC()
{
    if (m_pd.hDevNames == NULL)
        return NULL;
    LPDEVNAMES lpDevNames = static_cast<LPDEVNAMES>(::GlobalLock(m_pd.hDevNames));
    LPDEVMODEA lpDevMode = m_pd.hDevMode != NULL ? static_cast<LPDEVMODEA>(::GlobalLock(m_pd.hDevMode)) : NULL;
    if (lpDevNames == NULL)
        return NULL;
    LPCSTR base = reinterpret_cast<LPCSTR>(lpDevNames);
    if (m_pd.hDC != NULL)
        ::DeleteDC(m_pd.hDC);
    m_pd.hDC = ::CreateDCA(base + lpDevNames->wDriverOffset, base + lpDevNames->wDeviceOffset,
                           base + lpDevNames->wOutputOffset, lpDevMode);
    ::GlobalUnlock(m_pd.hDevNames);
    if (m_pd.hDevMode != NULL)
        ::GlobalUnlock(m_pd.hDevMode);
    return m_pd.hDC;
}

int CPrintDialog::GetCopies() const
{
    if (m_pd.Flags & PD_USEDEVMODECOPIES) {
        if (m_pd.hDevMode == NULL)
            return 1;
        LPDEVMODEA lpDevMode = static_cast<LPDEVMODEA>(::GlobalLock(m_pd.hDevMode));
        int copies = lpDevMode ? lpDevMode->dmCopies : 1;
        ::GlobalUnlock(m_pd.hDevMode);
        return copies;
    }
    return m_pd.nCopies;
}

CString CPrintDialog::GetDeviceName() const
{
    if (m_pd.hDevNames == NULL)
        return CString();
    LPDEVNAMES lpDevNames = static_cast<LPDEVNAMES>(::GlobalLock(m_pd.hDevNames));
    CString name(reinterpret_cast<LPCSTR>(lpDevNames) + lpDevNames->wDeviceOffset);
    ::GlobalUnlock(m_pd.hDevNames);
    return name;
}

// ---------------------------------------------------------------------------
// The application's printer

void CWinApp::UpdatePrinterSelection(BOOL bForceDefaults)
{
    if (!bForceDefaults && m_hDevNames != NULL)
        return;
    CPrintDialog pd(TRUE);
    if (!pd.GetDefaults())
        return;
    if (m_hDevMode != NULL)
        ::GlobalFree(m_hDevMode);
    if (m_hDevNames != NULL)
        ::GlobalFree(m_hDevNames);
    m_hDevMode = pd.m_pd.hDevMode;
    m_hDevNames = pd.m_pd.hDevNames;
    pd.m_pd.hDevMode = pd.m_pd.hDevNames = NULL;
}

BOOL CWinApp::GetPrinterDeviceDefaults(struct tagPDA* pPrintDlg)
{
    UpdatePrinterSelection(m_hDevNames == NULL);
    if (m_hDevNames == NULL)
        return FALSE;   // no printer
    pPrintDlg->hDevNames = m_hDevNames;
    pPrintDlg->hDevMode = m_hDevMode;
    return TRUE;
}

INT_PTR CWinApp::DoPrintDialog(CPrintDialog* pPD)
{
    UpdatePrinterSelection(FALSE);
    pPD->m_pd.hDevMode = m_hDevMode;
    pPD->m_pd.hDevNames = m_hDevNames;
    INT_PTR nResponse = pPD->DoModal();
    // The dialog may have replaced the settings (or freed them when the
    // printer is gone): keep what it returns.
    if (nResponse == IDOK || nResponse == IDCANCEL) {
        m_hDevMode = pPD->m_pd.hDevMode;
        m_hDevNames = pPD->m_pd.hDevNames;
    }
    return nResponse;
}

void CWinApp::OnFilePrintSetup()
{
    CPrintDialog pd(TRUE);
    DoPrintDialog(&pd);
}

// ---------------------------------------------------------------------------
// CPrintInfo

CPrintInfo::CPrintInfo()
    : m_pPD(new CPrintDialog(FALSE, PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOSELECTION)), m_bDirect(FALSE),
      m_bPreview(FALSE), m_bContinuePrinting(TRUE), m_nCurPage(1), m_nNumPreviewPages(0), m_lpUserData(NULL)
{
    SetMinPage(1);
    SetMaxPage(0xFFFF);
    m_pPD->m_pd.nFromPage = 1;
    m_pPD->m_pd.nToPage = 0xFFFF;
}

CPrintInfo::~CPrintInfo()
{
    // The settings belong to the application, not to this job.
    m_pPD->m_pd.hDevMode = NULL;
    m_pPD->m_pd.hDevNames = NULL;
    delete m_pPD;
}

void CPrintInfo::SetMinPage(UINT nMinPage) { m_pPD->m_pd.nMinPage = static_cast<WORD>(nMinPage); }
void CPrintInfo::SetMaxPage(UINT nMaxPage) { m_pPD->m_pd.nMaxPage = static_cast<WORD>(nMaxPage); }
UINT CPrintInfo::GetMinPage() const { return m_pPD->m_pd.nMinPage; }
UINT CPrintInfo::GetMaxPage() const { return m_pPD->m_pd.nMaxPage; }
UINT CPrintInfo::GetFromPage() const { return m_pPD->m_pd.nFromPage; }
UINT CPrintInfo::GetToPage() const { return m_pPD->m_pd.nToPage; }

// ---------------------------------------------------------------------------
// A view's print job

BOOL CView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CView::OnEndPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    OnDraw(pDC);
}

BOOL CView::DoPreparePrinting(CPrintInfo* pInfo)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return FALSE;
    CPrintDialog* pPD = pInfo->m_pPD;
    if (pInfo->m_bPreview || pInfo->m_bDirect) {
        // The default printer, without asking, unless there is none: then
        // the dialog tells the user.
        if (pPD->m_pd.hDC == NULL) {
            if (!pApp->GetPrinterDeviceDefaults(&pPD->m_pd)) {
                if (pApp->DoPrintDialog(pPD) != IDOK)
                    return FALSE;
            }
            if (pPD->m_pd.hDC == NULL && pPD->CreatePrinterDC() == NULL)
                return FALSE;
        }
        pPD->m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
        pPD->m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
    } else {
        pPD->m_pd.nFromPage = static_cast<WORD>(pInfo->GetMinPage());
        pPD->m_pd.nToPage = static_cast<WORD>(pInfo->GetMaxPage());
        if (pApp->DoPrintDialog(pPD) != IDOK)
            return FALSE;
    }
    if (pPD->m_pd.hDC == NULL)
        return FALSE;
    pInfo->m_nNumPreviewPages = pApp->m_nNumPreviewPages;
    return TRUE;
}

void CView::OnFilePrint()
{
    CPrintInfo printInfo;
    const MSG* pMsg = GetCurrentMessage();
    if (pMsg->message == WM_COMMAND && LOWORD(pMsg->wParam) == ID_FILE_PRINT_DIRECT)
        printInfo.m_bDirect = TRUE;
    if (!OnPreparePrinting(&printInfo))
        return;

    CString strTitle = m_pDocument != NULL ? m_pDocument->GetTitle() : CString();
    DOCINFOA docInfo;
    memset(&docInfo, 0, sizeof docInfo);
    docInfo.cbSize = sizeof docInfo;
    docInfo.lpszDocName = strTitle;

    CDC dcPrint;
    dcPrint.Attach(printInfo.m_pPD->m_pd.hDC);
    printInfo.m_pPD->m_pd.hDC = NULL;   // the job's DC is dcPrint's now
    printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
    OnBeginPrinting(&dcPrint, &printInfo);

    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != NULL)
        pMainWnd->EnableWindow(FALSE);
    BOOL bError = FALSE;
    if (::StartDocA(dcPrint.m_hDC, &docInfo) <= 0) {
        bError = TRUE;
        AfxMessageBox(AFX_IDP_FAILED_TO_START_PRINT);
    } else {
        UINT nStartPage = printInfo.GetFromPage(), nEndPage = printInfo.GetToPage();
        if (nEndPage < printInfo.GetMinPage())
            nEndPage = printInfo.GetMinPage();
        if (nEndPage > printInfo.GetMaxPage())
            nEndPage = printInfo.GetMaxPage();
        for (printInfo.m_nCurPage = nStartPage; printInfo.m_nCurPage <= nEndPage; ++printInfo.m_nCurPage) {
            OnPrepareDC(&dcPrint, &printInfo);
            if (!printInfo.m_bContinuePrinting)
                break;
            if (::StartPage(dcPrint.m_hDC) <= 0) {
                bError = TRUE;
                break;
            }
            OnPrint(&dcPrint, &printInfo);
            if (::EndPage(dcPrint.m_hDC) <= 0) {
                bError = TRUE;
                break;
            }
        }
        if (bError)
            ::AbortDoc(dcPrint.m_hDC);
        else
            ::EndDoc(dcPrint.m_hDC);
    }
    if (pMainWnd != NULL)
        pMainWnd->EnableWindow(TRUE);
    OnEndPrinting(&dcPrint, &printInfo);
    dcPrint.DeleteDC();
}

// ---------------------------------------------------------------------------
// Print preview: the first page as the printer would print it, in a window
// over the frame; Escape, Enter or a click closes it.

namespace {

struct PreviewState {
    CView* pView;
    CPrintInfo* pInfo;
    HDC hPrinterDC;
    BOOL bDone;
};

LRESULT CALLBACK PreviewWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    PreviewState* st = reinterpret_cast<PreviewState*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<LPCREATESTRUCTA>(lParam)->lpCreateParams));
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = ::BeginPaint(hWnd, &ps);
        RECT rc;
        ::GetClientRect(hWnd, &rc);
        ::FillRect(hdc, &rc, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
        // One page, scaled to fit with a margin, with the printer's aspect.
        int pw = ::GetDeviceCaps(st->hPrinterDC, HORZSIZE), ph = ::GetDeviceCaps(st->hPrinterDC, VERTSIZE);
        if (pw <= 0 || ph <= 0) {
            pw = 210;
            ph = 297;
        }
        int availW = rc.right - 40, availH = rc.bottom - 40;
        int w = availW, h = MulDiv(availW, ph, pw);
        if (h > availH) {
            h = availH;
            w = MulDiv(availH, pw, ph);
        }
        RECT page = {(rc.right - w) / 2, (rc.bottom - h) / 2, (rc.right - w) / 2 + w, (rc.bottom - h) / 2 + h};
        ::FillRect(hdc, &page, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::FrameRect(hdc, &page, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        int saved = ::SaveDC(hdc);
        ::IntersectClipRect(hdc, page.left, page.top, page.right, page.bottom);
        ::SetMapMode(hdc, MM_ANISOTROPIC);
        ::SetWindowExtEx(hdc, ::GetDeviceCaps(st->hPrinterDC, HORZRES), ::GetDeviceCaps(st->hPrinterDC, VERTRES), NULL);
        ::SetViewportExtEx(hdc, w, h, NULL);
        ::SetViewportOrgEx(hdc, page.left, page.top, NULL);
        CDC dc;
        dc.Attach(hdc);
        dc.m_hAttribDC = st->hPrinterDC;
        st->pInfo->m_nCurPage = 1;
        st->pView->OnPrepareDC(&dc, st->pInfo);
        st->pView->OnPrint(&dc, st->pInfo);
        dc.m_hAttribDC = hdc;
        dc.Detach();
        ::RestoreDC(hdc, saved);
        ::EndPaint(hWnd, &ps);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE || wParam == VK_RETURN)
            ::DestroyWindow(hWnd);
        return 0;
    case WM_LBUTTONDOWN:
        ::DestroyWindow(hWnd);
        return 0;
    case WM_DESTROY:
        if (st != NULL)
            st->bDone = TRUE;
        break;
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

void CView::OnFilePrintPreview()
{
    CPrintInfo printInfo;
    printInfo.m_bPreview = TRUE;
    if (!OnPreparePrinting(&printInfo))
        return;
    CDC dcPrint;
    dcPrint.Attach(printInfo.m_pPD->m_pd.hDC);
    printInfo.m_pPD->m_pd.hDC = NULL;
    printInfo.m_rectDraw.SetRect(0, 0, dcPrint.GetDeviceCaps(HORZRES), dcPrint.GetDeviceCaps(VERTRES));
    OnBeginPrinting(&dcPrint, &printInfo);

    static const char kClass[] = "AfxPrintPreview";
    WNDCLASSA wc = {};
    if (!::GetClassInfoA(AfxGetInstanceHandle(), kClass, &wc)) {
        wc.lpfnWndProc = PreviewWndProc;
        wc.hInstance = AfxGetInstanceHandle();
        wc.hCursor = ::LoadCursorA(NULL, MAKEINTRESOURCEA(32512));
        wc.lpszClassName = kClass;
        ::RegisterClassA(&wc);
    }
    CWnd* pFrame = GetTopLevelParent();
    RECT rc;
    ::GetWindowRect(pFrame->GetSafeHwnd(), &rc);
    PreviewState st = {this, &printInfo, dcPrint.m_hDC, FALSE};
    CString caption = m_pDocument != NULL ? m_pDocument->GetTitle() : CString();
    HWND hPreview = ::CreateWindowExA(0, kClass, caption, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, rc.left,
                                      rc.top, rc.right - rc.left, rc.bottom - rc.top, pFrame->GetSafeHwnd(), NULL,
                                      AfxGetInstanceHandle(), &st);
    if (hPreview != NULL) {
        // Modal over the frame until the preview is closed.
        pFrame->EnableWindow(FALSE);
        ::SetFocus(hPreview);
        MSG msg;
        while (!st.bDone && ::GetMessageA(&msg, NULL, 0, 0)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (!st.bDone) {
            // The application is ending: pass the quit on to its loop.
            ::DestroyWindow(hPreview);
            ::PostQuitMessage(static_cast<int>(msg.wParam));
        }
        pFrame->EnableWindow(TRUE);
        pFrame->SetActiveWindow();
    }
    OnEndPrinting(&dcPrint, &printInfo);
    dcPrint.DeleteDC();
}
