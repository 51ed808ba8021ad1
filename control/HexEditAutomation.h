// HexEditAutomation.h - CHexEditAutomation, the UI Automation provider that
// CHexEditCtrl hands a client asking for its root object (WM_GETOBJECT with
// UiaRootObjectId): the element's properties, the Value pattern (the
// caret's place, as the IAccessible's value) and the Text pattern over the
// control's text model (the data rows on screen, a line each, "\r\n"
// between them), with CHexEditTextRange for a range of it in character
// offsets. uiautomationcore.dll is loaded at run time; where it or one of
// its functions is missing the control gives MSAA only.
#pragma once

#include <afxwin.h>
// Before the interfaces: its FindText macro (FindTextA) then renames the
// range's FindText alike wherever this header is seen, whatever else a
// source includes.
#include <commdlg.h>
#include <oleacc.h>
// Not <uiautomation.h>: mingw-w64's API header in it does not compile as
// C++, and the functions are loaded at run time anyway.
#include <uiautomationcore.h>
#include <uiautomationclient.h>

// What the Windows SDK's UI Automation headers declare and older mingw-w64
// headers lack: the Value and Text pattern interfaces and their types, and
// the identifiers used here.
#ifndef __ITextRangeProvider_INTERFACE_DEFINED__
#define __ITextRangeProvider_INTERFACE_DEFINED__
#define __ITextProvider_INTERFACE_DEFINED__
#define __IValueProvider_INTERFACE_DEFINED__
enum TextUnit {
    TextUnit_Character = 0,
    TextUnit_Format = 1,
    TextUnit_Word = 2,
    TextUnit_Line = 3,
    TextUnit_Paragraph = 4,
    TextUnit_Page = 5,
    TextUnit_Document = 6
};
enum TextPatternRangeEndpoint { TextPatternRangeEndpoint_Start = 0, TextPatternRangeEndpoint_End = 1 };
enum SupportedTextSelection {
    SupportedTextSelection_None = 0,
    SupportedTextSelection_Single = 1,
    SupportedTextSelection_Multiple = 2
};
struct UiaPoint {
    double x;
    double y;
};

MIDL_INTERFACE("c7935180-6fb3-4201-b174-7df73adbf64a")
IValueProvider : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE SetValue(LPCWSTR val) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_Value(BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsReadOnly(BOOL* pRetVal) = 0;
};

MIDL_INTERFACE("5347ad7b-c355-46f8-aff5-909033582f63")
ITextRangeProvider : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                                       ITextRangeProvider* targetRange,
                                                       enum TextPatternRangeEndpoint targetEndpoint, int* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(enum TextUnit unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attributeId, VARIANT val, BOOL backward,
                                                    ITextRangeProvider** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attributeId, VARIANT* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(enum TextUnit unit, int count, int* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint, enum TextUnit unit,
                                                         int count, int* pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint,
                                                          ITextRangeProvider* targetRange,
                                                          enum TextPatternRangeEndpoint targetEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** pRetVal) = 0;
};

MIDL_INTERFACE("3589c92c-63f3-4367-99bb-ada653b77cf2")
ITextProvider : public IUnknown {
public:
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* childElement,
                                                     ITextRangeProvider** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(struct UiaPoint point, ITextRangeProvider** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** pRetVal) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(enum SupportedTextSelection* pRetVal) = 0;
};
#endif

#ifndef UiaRootObjectId
#define UiaRootObjectId -25
#endif
#ifndef UIA_EditControlTypeId
#define UIA_EditControlTypeId 50004
#endif
#ifndef UIA_Text_TextSelectionChangedEventId
#define UIA_Text_TextSelectionChangedEventId 20014
#endif
#ifndef UIA_Text_TextChangedEventId
#define UIA_Text_TextChangedEventId 20015
#endif
#ifndef UIA_FullDescriptionPropertyId
#define UIA_FullDescriptionPropertyId 30159
#endif

class CHexEditCtrl;

// The functions of uiautomationcore.dll the control calls, loaded once; a
// member is NULL where the system lacks it.
struct HexEditUiaCore {
    LRESULT(WINAPI* pfnReturnRawElementProvider)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
    HRESULT(WINAPI* pfnHostProviderFromHwnd)(HWND, IRawElementProviderSimple**);
    HRESULT(WINAPI* pfnRaiseAutomationEvent)(IRawElementProviderSimple*, EVENTID);
    BOOL(WINAPI* pfnClientsAreListening)();
    HRESULT(WINAPI* pfnDisconnectProvider)(IRawElementProviderSimple*);
    HRESULT(WINAPI* pfnGetReservedNotSupportedValue)(IUnknown**);

    static const HexEditUiaCore& Get();
};

class CHexEditAutomation : public IRawElementProviderSimple, public IValueProvider, public ITextProvider {
public:
    // With one reference, the control's.
    explicit CHexEditAutomation(CHexEditCtrl* pCtrl);
    // The control's window is going: every call fails from now on, and the
    // system lets go of what it holds of the provider.
    void Disconnect();
    // After a message that changed the text model or the caret or the
    // selection in it: the Text pattern's events, to clients that listen.
    void Announce(bool bTextChanged, bool bSelectionChanged);

    // The control, or NULL once its window is gone.
    CHexEditCtrl* GetControl() const { return m_pCtrl; }
    HWND GetWindow() const { return m_hWnd; }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IRawElementProviderSimple
    STDMETHODIMP get_ProviderOptions(enum ProviderOptions* pRetVal) override;
    STDMETHODIMP GetPatternProvider(PATTERNID patternId, IUnknown** pRetVal) override;
    STDMETHODIMP GetPropertyValue(PROPERTYID propertyId, VARIANT* pRetVal) override;
    STDMETHODIMP get_HostRawElementProvider(IRawElementProviderSimple** pRetVal) override;

    // IValueProvider
    STDMETHODIMP SetValue(LPCWSTR val) override;
    STDMETHODIMP get_Value(BSTR* pRetVal) override;
    STDMETHODIMP get_IsReadOnly(BOOL* pRetVal) override;

    // ITextProvider
    STDMETHODIMP GetSelection(SAFEARRAY** pRetVal) override;
    STDMETHODIMP GetVisibleRanges(SAFEARRAY** pRetVal) override;
    STDMETHODIMP RangeFromChild(IRawElementProviderSimple* childElement, ITextRangeProvider** pRetVal) override;
    STDMETHODIMP RangeFromPoint(struct UiaPoint point, ITextRangeProvider** pRetVal) override;
    STDMETHODIMP get_DocumentRange(ITextRangeProvider** pRetVal) override;
    STDMETHODIMP get_SupportedTextSelection(enum SupportedTextSelection* pRetVal) override;

    CHexEditAutomation(const CHexEditAutomation&) = delete;
    CHexEditAutomation& operator=(const CHexEditAutomation&) = delete;

private:
    virtual ~CHexEditAutomation();

    LONG m_nRefs;
    CHexEditCtrl* m_pCtrl;
    HWND m_hWnd;
};

// A range of the text model, [m_nStart, m_nEnd) in characters. The text
// model follows the screen, so the ends are kept within its length at each
// call rather than when it changes.
class CHexEditTextRange : public ITextRangeProvider {
public:
    CHexEditTextRange(CHexEditAutomation* pProvider, LONGLONG nStart, LONGLONG nEnd);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // ITextRangeProvider
    STDMETHODIMP Clone(ITextRangeProvider** pRetVal) override;
    STDMETHODIMP Compare(ITextRangeProvider* range, BOOL* pRetVal) override;
    STDMETHODIMP CompareEndpoints(enum TextPatternRangeEndpoint endpoint, ITextRangeProvider* targetRange,
                                  enum TextPatternRangeEndpoint targetEndpoint, int* pRetVal) override;
    STDMETHODIMP ExpandToEnclosingUnit(enum TextUnit unit) override;
    STDMETHODIMP FindAttribute(TEXTATTRIBUTEID attributeId, VARIANT val, BOOL backward,
                               ITextRangeProvider** pRetVal) override;
    STDMETHODIMP FindText(BSTR text, BOOL backward, BOOL ignoreCase, ITextRangeProvider** pRetVal) override;
    STDMETHODIMP GetAttributeValue(TEXTATTRIBUTEID attributeId, VARIANT* pRetVal) override;
    STDMETHODIMP GetBoundingRectangles(SAFEARRAY** pRetVal) override;
    STDMETHODIMP GetEnclosingElement(IRawElementProviderSimple** pRetVal) override;
    STDMETHODIMP GetText(int maxLength, BSTR* pRetVal) override;
    STDMETHODIMP Move(enum TextUnit unit, int count, int* pRetVal) override;
    STDMETHODIMP MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint, enum TextUnit unit, int count,
                                    int* pRetVal) override;
    STDMETHODIMP MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint, ITextRangeProvider* targetRange,
                                     enum TextPatternRangeEndpoint targetEndpoint) override;
    STDMETHODIMP Select() override;
    STDMETHODIMP AddToSelection() override;
    STDMETHODIMP RemoveFromSelection() override;
    STDMETHODIMP ScrollIntoView(BOOL alignToTop) override;
    STDMETHODIMP GetChildren(SAFEARRAY** pRetVal) override;

    CHexEditTextRange(const CHexEditTextRange&) = delete;
    CHexEditTextRange& operator=(const CHexEditTextRange&) = delete;

private:
    virtual ~CHexEditTextRange();
    // The control, its ends kept within the text model; NULL once it is gone.
    CHexEditCtrl* Control();
    // One of this provider's ranges, or NULL (a range of another provider or
    // process).
    CHexEditTextRange* OwnRange(ITextRangeProvider* pRange) const;
    LONGLONG& Endpoint(enum TextPatternRangeEndpoint endpoint);
    // Moves an end nCount units (by the unit's boundaries) and returns the
    // units it moved.
    int MoveBoundary(LONGLONG& nPos, enum TextUnit unit, int nCount);

    LONG m_nRefs;
    CHexEditAutomation* m_pProvider;   // held: the range may outlive the control's reference
    LONGLONG m_nStart;
    LONGLONG m_nEnd;
};
