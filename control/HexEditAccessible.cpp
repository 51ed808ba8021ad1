// HexEditAccessible.cpp - CHexEditAccessible: CHexEditCtrl's IAccessible.
// Each answer is read from the control when asked, so nothing is kept up to
// date while no client asks.
#include "HexEditAccessible.h"
#include "HexEditCtrl.h"

CHexEditAccessible::CHexEditAccessible(CHexEditCtrl* pCtrl)
    : m_nRefs(1), m_pCtrl(pCtrl), m_hWnd(pCtrl->m_hWnd), m_pStandard(NULL)
{
    void* pStandard = NULL;
    if (SUCCEEDED(::CreateStdAccessibleObject(m_hWnd, OBJID_CLIENT, IID_IAccessible, &pStandard)))
        m_pStandard = static_cast<IAccessible*>(pStandard);
}

CHexEditAccessible::~CHexEditAccessible()
{
    if (m_pStandard != NULL)
        m_pStandard->Release();
}

void CHexEditAccessible::Disconnect()
{
    m_pCtrl = NULL;
    if (m_pStandard != NULL) {
        m_pStandard->Release();
        m_pStandard = NULL;
    }
}

HRESULT CHexEditAccessible::CheckSelf(const VARIANT& varChild) const
{
    if (m_pCtrl == NULL)
        return CO_E_OBJNOTCONNECTED;
    if (varChild.vt != VT_I4 || varChild.lVal != CHILDID_SELF)
        return E_INVALIDARG;
    return S_OK;
}

HRESULT CHexEditAccessible::ReturnText(const CString& text, BSTR* pbstr)
{
    if (pbstr == NULL)
        return E_POINTER;
    *pbstr = NULL;
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), NULL, 0);
    *pbstr = ::SysAllocStringLen(NULL, static_cast<UINT>(nWide));
    if (*pbstr == NULL)
        return E_OUTOFMEMORY;
    ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), *pbstr, nWide);
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == IID_IAccessible) {
        *ppv = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CHexEditAccessible::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CHexEditAccessible::Release()
{
    const LONG n = ::InterlockedDecrement(&m_nRefs);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CHexEditAccessible::GetTypeInfoCount(UINT* pctinfo)
{
    if (pctinfo == NULL)
        return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo)
{
    if (ppTInfo != NULL)
        *ppTInfo = NULL;
    return E_NOTIMPL;
}

STDMETHODIMP CHexEditAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CHexEditAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CHexEditAccessible::get_accParent(IDispatch** ppdispParent)
{
    if (ppdispParent == NULL)
        return E_POINTER;
    *ppdispParent = NULL;
    if (m_pCtrl == NULL)
        return CO_E_OBJNOTCONNECTED;
    return m_pStandard != NULL ? m_pStandard->get_accParent(ppdispParent) : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::get_accChildCount(long* pcountChildren)
{
    if (pcountChildren == NULL)
        return E_POINTER;
    *pcountChildren = 0;
    return m_pCtrl == NULL ? CO_E_OBJNOTCONNECTED : S_OK;
}

STDMETHODIMP CHexEditAccessible::get_accChild(VARIANT, IDispatch** ppdispChild)
{
    if (ppdispChild == NULL)
        return E_POINTER;
    *ppdispChild = NULL;
    return m_pCtrl == NULL ? CO_E_OBJNOTCONNECTED : E_INVALIDARG;
}

STDMETHODIMP CHexEditAccessible::get_accName(VARIANT varChild, BSTR* pszName)
{
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : ReturnText(m_pCtrl->GetAccessibleName(), pszName);
}

STDMETHODIMP CHexEditAccessible::get_accValue(VARIANT varChild, BSTR* pszValue)
{
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : ReturnText(m_pCtrl->DescribeCaretForReaders(), pszValue);
}

STDMETHODIMP CHexEditAccessible::get_accDescription(VARIANT varChild, BSTR* pszDescription)
{
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : ReturnText(m_pCtrl->DescribeBlockForReaders(), pszDescription);
}

STDMETHODIMP CHexEditAccessible::get_accRole(VARIANT varChild, VARIANT* pvarRole)
{
    if (pvarRole == NULL)
        return E_POINTER;
    ::VariantInit(pvarRole);
    HRESULT hr = CheckSelf(varChild);
    if (FAILED(hr))
        return hr;
    pvarRole->vt = VT_I4;
    pvarRole->lVal = ROLE_SYSTEM_TEXT;
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::get_accState(VARIANT varChild, VARIANT* pvarState)
{
    if (pvarState == NULL)
        return E_POINTER;
    ::VariantInit(pvarState);
    HRESULT hr = CheckSelf(varChild);
    if (FAILED(hr))
        return hr;
    long nState = STATE_SYSTEM_FOCUSABLE;
    if (::GetFocus() == m_hWnd)
        nState |= STATE_SYSTEM_FOCUSED;
    if ((::GetWindowLongA(m_hWnd, GWL_STYLE) & ES_READONLY) != 0)
        nState |= STATE_SYSTEM_READONLY;
    if (!::IsWindowVisible(m_hWnd))
        nState |= STATE_SYSTEM_INVISIBLE;
    pvarState->vt = VT_I4;
    pvarState->lVal = nState;
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::get_accHelp(VARIANT varChild, BSTR* pszHelp)
{
    if (pszHelp != NULL)
        *pszHelp = NULL;
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic)
{
    if (pszHelpFile != NULL)
        *pszHelpFile = NULL;
    if (pidTopic != NULL)
        *pidTopic = 0;
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut)
{
    if (pszKeyboardShortcut == NULL)
        return E_POINTER;
    *pszKeyboardShortcut = NULL;
    HRESULT hr = CheckSelf(varChild);
    if (FAILED(hr))
        return hr;
    // The label's mnemonic, as the system's object finds it.
    return m_pStandard != NULL ? m_pStandard->get_accKeyboardShortcut(varChild, pszKeyboardShortcut) : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::get_accFocus(VARIANT* pvarChild)
{
    if (pvarChild == NULL)
        return E_POINTER;
    ::VariantInit(pvarChild);
    if (m_pCtrl == NULL)
        return CO_E_OBJNOTCONNECTED;
    if (::GetFocus() != m_hWnd)
        return S_FALSE;
    pvarChild->vt = VT_I4;
    pvarChild->lVal = CHILDID_SELF;
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::get_accSelection(VARIANT* pvarChildren)
{
    if (pvarChildren == NULL)
        return E_POINTER;
    ::VariantInit(pvarChildren);
    // No children to select; the selected bytes are in the value.
    return m_pCtrl == NULL ? CO_E_OBJNOTCONNECTED : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction)
{
    if (pszDefaultAction != NULL)
        *pszDefaultAction = NULL;
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::accSelect(long flagsSelect, VARIANT varChild)
{
    HRESULT hr = CheckSelf(varChild);
    if (FAILED(hr))
        return hr;
    if ((flagsSelect & SELFLAG_TAKEFOCUS) == 0)
        return S_FALSE;
    ::SetFocus(m_hWnd);
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight,
                                             VARIANT varChild)
{
    if (pxLeft == NULL || pyTop == NULL || pcxWidth == NULL || pcyHeight == NULL)
        return E_POINTER;
    *pxLeft = *pyTop = *pcxWidth = *pcyHeight = 0;
    HRESULT hr = CheckSelf(varChild);
    if (FAILED(hr))
        return hr;
    RECT rc;
    if (!::GetWindowRect(m_hWnd, &rc))
        return E_FAIL;
    *pxLeft = rc.left;
    *pyTop = rc.top;
    *pcxWidth = rc.right - rc.left;
    *pcyHeight = rc.bottom - rc.top;
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt)
{
    if (pvarEndUpAt == NULL)
        return E_POINTER;
    ::VariantInit(pvarEndUpAt);
    HRESULT hr = CheckSelf(varStart);
    if (FAILED(hr))
        return hr;
    // The siblings are the window's: the system's object knows them.
    return m_pStandard != NULL ? m_pStandard->accNavigate(navDir, varStart, pvarEndUpAt) : S_FALSE;
}

STDMETHODIMP CHexEditAccessible::accHitTest(long xLeft, long yTop, VARIANT* pvarChild)
{
    if (pvarChild == NULL)
        return E_POINTER;
    ::VariantInit(pvarChild);
    if (m_pCtrl == NULL)
        return CO_E_OBJNOTCONNECTED;
    RECT rc;
    POINT pt = {xLeft, yTop};
    if (!::GetWindowRect(m_hWnd, &rc) || !::PtInRect(&rc, pt))
        return S_FALSE;
    pvarChild->vt = VT_I4;
    pvarChild->lVal = CHILDID_SELF;
    return S_OK;
}

STDMETHODIMP CHexEditAccessible::accDoDefaultAction(VARIANT varChild)
{
    HRESULT hr = CheckSelf(varChild);
    return FAILED(hr) ? hr : DISP_E_MEMBERNOTFOUND;
}

STDMETHODIMP CHexEditAccessible::put_accName(VARIANT, BSTR)
{
    return m_pCtrl == NULL ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}

STDMETHODIMP CHexEditAccessible::put_accValue(VARIANT, BSTR)
{
    return m_pCtrl == NULL ? CO_E_OBJNOTCONNECTED : E_NOTIMPL;
}
