// HexEditAccessible.h - CHexEditAccessible, the IAccessible that
// CHexEditCtrl hands assistive technology for its client area (WM_GETOBJECT
// with OBJID_CLIENT): role, name, value, description, states and location,
// read from the control at each call. The control makes it on a client's
// first request and cuts it off when its window goes; a client that still
// holds it then gets CO_E_OBJNOTCONNECTED. What is not the control's own
// (its parent, its siblings) comes from the system's object for the window.
#pragma once

#include <afxwin.h>
#include <oleacc.h>

class CHexEditCtrl;

class CHexEditAccessible : public IAccessible {
public:
    // With one reference, the control's.
    explicit CHexEditAccessible(CHexEditCtrl* pCtrl);
    // The control's window is going: every call fails from now on.
    void Disconnect();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: no type information; clients use the IAccessible calls.
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** ppdispParent) override;
    STDMETHODIMP get_accChildCount(long* pcountChildren) override;
    STDMETHODIMP get_accChild(VARIANT varChild, IDispatch** ppdispChild) override;
    STDMETHODIMP get_accName(VARIANT varChild, BSTR* pszName) override;
    STDMETHODIMP get_accValue(VARIANT varChild, BSTR* pszValue) override;
    STDMETHODIMP get_accDescription(VARIANT varChild, BSTR* pszDescription) override;
    STDMETHODIMP get_accRole(VARIANT varChild, VARIANT* pvarRole) override;
    STDMETHODIMP get_accState(VARIANT varChild, VARIANT* pvarState) override;
    STDMETHODIMP get_accHelp(VARIANT varChild, BSTR* pszHelp) override;
    STDMETHODIMP get_accHelpTopic(BSTR* pszHelpFile, VARIANT varChild, long* pidTopic) override;
    STDMETHODIMP get_accKeyboardShortcut(VARIANT varChild, BSTR* pszKeyboardShortcut) override;
    STDMETHODIMP get_accFocus(VARIANT* pvarChild) override;
    STDMETHODIMP get_accSelection(VARIANT* pvarChildren) override;
    STDMETHODIMP get_accDefaultAction(VARIANT varChild, BSTR* pszDefaultAction) override;
    STDMETHODIMP accSelect(long flagsSelect, VARIANT varChild) override;
    STDMETHODIMP accLocation(long* pxLeft, long* pyTop, long* pcxWidth, long* pcyHeight, VARIANT varChild) override;
    STDMETHODIMP accNavigate(long navDir, VARIANT varStart, VARIANT* pvarEndUpAt) override;
    STDMETHODIMP accHitTest(long xLeft, long yTop, VARIANT* pvarChild) override;
    STDMETHODIMP accDoDefaultAction(VARIANT varChild) override;
    STDMETHODIMP put_accName(VARIANT varChild, BSTR szName) override;
    STDMETHODIMP put_accValue(VARIANT varChild, BSTR szValue) override;

    CHexEditAccessible(const CHexEditAccessible&) = delete;
    CHexEditAccessible& operator=(const CHexEditAccessible&) = delete;

private:
    virtual ~CHexEditAccessible();
    // S_OK for the control itself; E_INVALIDARG for any child (it has none),
    // CO_E_OBJNOTCONNECTED once the control is gone.
    HRESULT CheckSelf(const VARIANT& varChild) const;
    static HRESULT ReturnText(const CString& text, BSTR* pbstr);

    LONG m_nRefs;
    CHexEditCtrl* m_pCtrl;
    HWND m_hWnd;
    IAccessible* m_pStandard;   // the system's object for the window, or NULL
};
