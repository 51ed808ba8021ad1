// HexEditAutomation.cpp - CHexEditAutomation and CHexEditTextRange:
// CHexEditCtrl's UI Automation provider and its text ranges. Each answer is
// read from the control when asked; nothing is kept up to date while no
// client asks.
#include "HexEditAutomation.h"
#include "HexEditCtrl.h"
#include <algorithm>
#include <new>
#include <string>
#include <vector>

namespace {

// The interfaces' identifiers, our own so that no import library is needed.
const IID kIidRawElementProviderSimple = {
    0xd6dd68d1, 0x86fd, 0x4332, {0x86, 0x66, 0x9a, 0xbe, 0xde, 0xa2, 0xd2, 0x4c}};
const IID kIidValueProvider = {0xc7935180, 0x6fb3, 0x4201, {0xb1, 0x74, 0x7d, 0xf7, 0x3a, 0xdb, 0xf6, 0x4a}};
const IID kIidTextProvider = {0x3589c92c, 0x63f3, 0x4367, {0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2}};
const IID kIidTextRangeProvider = {0x5347ad7b, 0xc355, 0x46f8, {0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63}};
// Answers only in this process, with the range itself: how a range passed
// back to us is known as ours.
const IID kIidOwnTextRange = {0x6b1f3a52, 0x9c47, 0x4e0d, {0x8a, 0x21, 0x3f, 0x55, 0xd0, 0x7e, 0x12, 0xc9}};

const HRESULT kElementNotAvailable = static_cast<HRESULT>(0x80040201L);
const HRESULT kInvalidOperation = static_cast<HRESULT>(0x80131509L);

HRESULT ReturnText(const CString& text, BSTR* pbstr)
{
    if (pbstr == NULL)
        return E_POINTER;
    const int nWide = ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), NULL, 0);
    *pbstr = ::SysAllocStringLen(NULL, static_cast<UINT>(nWide));
    if (*pbstr == NULL)
        return E_OUTOFMEMORY;
    ::MultiByteToWideChar(CP_ACP, 0, text, text.GetLength(), *pbstr, nWide);
    return S_OK;
}

void SetBool(VARIANT* pv, bool b)
{
    pv->vt = VT_BOOL;
    pv->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
}

// A SAFEARRAY of the given ranges (each reference is taken over), or NULL
// with every range released.
SAFEARRAY* RangeArray(ITextRangeProvider* const* ppRanges, LONG nCount)
{
    SAFEARRAY* psa = ::SafeArrayCreateVector(VT_UNKNOWN, 0, static_cast<ULONG>(nCount));
    for (LONG i = 0; i < nCount; i++) {
        if (psa != NULL && FAILED(::SafeArrayPutElement(psa, &i, ppRanges[i]))) {
            ::SafeArrayDestroy(psa);
            psa = NULL;
        }
        ppRanges[i]->Release();   // the array holds its own reference
    }
    return psa;
}

template <class F>
void Take(HMODULE hDll, LPCSTR lpszName, F& pfn)
{
    pfn = reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(hDll, lpszName)));
}

} // namespace

// ---------------------------------------------------------------------------
// The text model's shape, as the control lays it out (HexEditAccessibility.cpp)

struct HexEditTextShape {
    LONGLONG nLength;       // characters in all
    LONGLONG nStride;       // a line and its "\r\n"
    int nLineLength;
    int nHexCol;
    int nAsciiCol;
    int nCells;             // bytes a row

    explicit HexEditTextShape(const CHexEditCtrl& ctrl)
        : nLength(0), nStride(ctrl.GetReaderLineLength() + 2), nLineLength(ctrl.GetReaderLineLength()),
          nHexCol(ctrl.m_nHexCol), nAsciiCol(ctrl.m_nAsciiCol),
          nCells(std::min<int>(ctrl.m_nBytesPerRow, CHexEditCtrl::kMaxRowCells))
    {
        const int nLines = ctrl.GetReaderRowCount();
        nLength = nLines == 0 ? 0 : nLines * nStride - 2;
    }

    // Whether a unit starts at nPos. A word is a cell: the address, each hex
    // cell with its blank, each character; a line takes its "\r\n". A
    // paragraph is a line; the page (what is on screen) and the one format
    // the text has are the document.
    bool IsBoundary(TextUnit unit, LONGLONG nPos) const
    {
        if (nPos <= 0 || nPos >= nLength)
            return true;
        const LONGLONG nCol = nPos % nStride;
        switch (unit) {
        case TextUnit_Character:
            return true;
        case TextUnit_Word:
            if (nCol == 0 || nCol > nLineLength)
                return nCol == 0;
            if (nCol >= nHexCol && nCol < nHexCol + 3LL * nCells && nCol < nAsciiCol)
                return (nCol - nHexCol) % 3 == 0;
            return nCol >= nAsciiCol && nCol < nAsciiCol + nCells;
        case TextUnit_Line:
        case TextUnit_Paragraph:
            return nCol == 0;
        default:
            return false;
        }
    }
    LONGLONG Clamp(LONGLONG nPos) const { return std::max<LONGLONG>(0, std::min(nPos, nLength)); }
};

// ---------------------------------------------------------------------------
// uiautomationcore.dll

const HexEditUiaCore& HexEditUiaCore::Get()
{
    struct Loader {
        HexEditUiaCore core;
        Loader() : core()
        {
            HMODULE hDll = ::LoadLibraryA("uiautomationcore.dll");
            if (hDll == NULL)
                return;
            // Kept loaded for the process: providers and events may be in use
            // until it ends.
            Take(hDll, "UiaReturnRawElementProvider", core.pfnReturnRawElementProvider);
            Take(hDll, "UiaHostProviderFromHwnd", core.pfnHostProviderFromHwnd);
            Take(hDll, "UiaRaiseAutomationEvent", core.pfnRaiseAutomationEvent);
            Take(hDll, "UiaClientsAreListening", core.pfnClientsAreListening);
            Take(hDll, "UiaDisconnectProvider", core.pfnDisconnectProvider);
            Take(hDll, "UiaGetReservedNotSupportedValue", core.pfnGetReservedNotSupportedValue);
        }
    };
    static const Loader loader;
    return loader.core;
}

// ---------------------------------------------------------------------------
// CHexEditAutomation

CHexEditAutomation::CHexEditAutomation(CHexEditCtrl* pCtrl) : m_nRefs(1), m_pCtrl(pCtrl), m_hWnd(pCtrl->m_hWnd)
{
}

CHexEditAutomation::~CHexEditAutomation()
{
}

void CHexEditAutomation::Disconnect()
{
    if (m_pCtrl == NULL)
        return;
    m_pCtrl = NULL;
    const HexEditUiaCore& core = HexEditUiaCore::Get();
    // As the system asks of a window that goes: it drops what it keeps for
    // the window, and clients holding the element are told it is gone.
    if (core.pfnReturnRawElementProvider != NULL)
        core.pfnReturnRawElementProvider(m_hWnd, 0, 0, NULL);
    if (core.pfnDisconnectProvider != NULL)
        core.pfnDisconnectProvider(static_cast<IRawElementProviderSimple*>(this));
}

void CHexEditAutomation::Announce(bool bTextChanged, bool bSelectionChanged)
{
    const HexEditUiaCore& core = HexEditUiaCore::Get();
    if (m_pCtrl == NULL || core.pfnRaiseAutomationEvent == NULL || core.pfnClientsAreListening == NULL ||
        !core.pfnClientsAreListening())
        return;
    IRawElementProviderSimple* pSelf = this;
    if (bTextChanged)
        core.pfnRaiseAutomationEvent(pSelf, UIA_Text_TextChangedEventId);
    if (bSelectionChanged)
        core.pfnRaiseAutomationEvent(pSelf, UIA_Text_TextSelectionChangedEventId);
}

STDMETHODIMP CHexEditAutomation::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == kIidRawElementProviderSimple)
        *ppv = static_cast<IRawElementProviderSimple*>(this);
    else if (riid == kIidValueProvider)
        *ppv = static_cast<IValueProvider*>(this);
    else if (riid == kIidTextProvider)
        *ppv = static_cast<ITextProvider*>(this);
    else {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CHexEditAutomation::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CHexEditAutomation::Release()
{
    const LONG n = ::InterlockedDecrement(&m_nRefs);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

STDMETHODIMP CHexEditAutomation::get_ProviderOptions(enum ProviderOptions* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    // Calls come to the control's thread, as its window's messages do.
    *pRetVal = static_cast<ProviderOptions>(ProviderOptions_ServerSideProvider | ProviderOptions_UseComThreading);
    return m_pCtrl == NULL ? kElementNotAvailable : S_OK;
}

STDMETHODIMP CHexEditAutomation::GetPatternProvider(PATTERNID patternId, IUnknown** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    if (patternId == UIA_ValuePatternId)
        *pRetVal = static_cast<IValueProvider*>(this);
    else if (patternId == UIA_TextPatternId)
        *pRetVal = static_cast<ITextProvider*>(this);
    else
        return S_OK;   // not one of ours
    AddRef();
    return S_OK;
}

STDMETHODIMP CHexEditAutomation::GetPropertyValue(PROPERTYID propertyId, VARIANT* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    ::VariantInit(pRetVal);
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    switch (propertyId) {
    case UIA_ControlTypePropertyId:
        // An edit field, as the IAccessible's role says: readers treat it
        // as one (caret moves, typed keys) over the Text pattern.
        pRetVal->vt = VT_I4;
        pRetVal->lVal = UIA_EditControlTypeId;
        return S_OK;
    case UIA_NamePropertyId:
        pRetVal->vt = VT_BSTR;
        return ReturnText(m_pCtrl->GetAccessibleName(), &pRetVal->bstrVal);
    case UIA_HelpTextPropertyId:
    case UIA_FullDescriptionPropertyId:
        pRetVal->vt = VT_BSTR;
        return ReturnText(m_pCtrl->DescribeBlockForReaders(), &pRetVal->bstrVal);
    case UIA_IsKeyboardFocusablePropertyId:
        SetBool(pRetVal, true);
        return S_OK;
    case UIA_HasKeyboardFocusPropertyId:
        SetBool(pRetVal, ::GetFocus() == m_hWnd);
        return S_OK;
    case UIA_IsEnabledPropertyId:
        SetBool(pRetVal, ::IsWindowEnabled(m_hWnd) != FALSE);
        return S_OK;
    case UIA_IsPasswordPropertyId:
        SetBool(pRetVal, false);
        return S_OK;
    default:
        // The rest (the window's class, its control id as automation id,
        // its rectangle, the legacy IAccessible) the host provider has.
        return S_OK;
    }
}

STDMETHODIMP CHexEditAutomation::get_HostRawElementProvider(IRawElementProviderSimple** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    const HexEditUiaCore& core = HexEditUiaCore::Get();
    return core.pfnHostProviderFromHwnd != NULL ? core.pfnHostProviderFromHwnd(m_hWnd, pRetVal) : S_OK;
}

STDMETHODIMP CHexEditAutomation::SetValue(LPCWSTR)
{
    // The value describes the caret; the bytes are typed, not set as text.
    return m_pCtrl == NULL ? kElementNotAvailable : kInvalidOperation;
}

STDMETHODIMP CHexEditAutomation::get_Value(BSTR* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    return m_pCtrl == NULL ? kElementNotAvailable : ReturnText(m_pCtrl->DescribeCaretForReaders(), pRetVal);
}

STDMETHODIMP CHexEditAutomation::get_IsReadOnly(BOOL* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = FALSE;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    // Whether the bytes can be edited, as readers announce it.
    *pRetVal = m_pCtrl->IsReadOnly();
    return S_OK;
}

STDMETHODIMP CHexEditAutomation::GetSelection(SAFEARRAY** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    LONGLONG nStart, nEnd;
    m_pCtrl->GetReaderSelection(nStart, nEnd);
    ITextRangeProvider* pRange = new (std::nothrow) CHexEditTextRange(this, nStart, nEnd);
    if (pRange == NULL)
        return E_OUTOFMEMORY;
    *pRetVal = RangeArray(&pRange, 1);
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CHexEditAutomation::GetVisibleRanges(SAFEARRAY** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    // Every line of the text model is on screen; with all its columns, the
    // whole text is one range, else each line's visible columns are one.
    const HexEditTextShape shape(*m_pCtrl);
    const LONGLONG nLines = shape.nLength == 0 ? 0 : (shape.nLength + 2) / shape.nStride;
    const LONGLONG nFirstCol = m_pCtrl->m_nFirstCol;
    const LONGLONG nEndCol = std::min<LONGLONG>(shape.nLineLength, nFirstCol + m_pCtrl->m_nVisCols);
    std::vector<ITextRangeProvider*> ranges;
    if (nFirstCol == 0 && nEndCol >= shape.nLineLength) {
        ranges.push_back(new (std::nothrow) CHexEditTextRange(this, 0, shape.nLength));
    } else if (nEndCol > nFirstCol) {
        for (LONGLONG i = 0; i < nLines; i++)
            ranges.push_back(new (std::nothrow)
                                 CHexEditTextRange(this, i * shape.nStride + nFirstCol, i * shape.nStride + nEndCol));
    }
    if (std::find(ranges.begin(), ranges.end(), static_cast<ITextRangeProvider*>(NULL)) != ranges.end()) {
        for (ITextRangeProvider* p : ranges)
            if (p != NULL)
                p->Release();
        return E_OUTOFMEMORY;
    }
    *pRetVal = RangeArray(ranges.data(), static_cast<LONG>(ranges.size()));
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CHexEditAutomation::RangeFromChild(IRawElementProviderSimple*, ITextRangeProvider** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    return m_pCtrl == NULL ? kElementNotAvailable : E_INVALIDARG;   // it has no children
}

STDMETHODIMP CHexEditAutomation::RangeFromPoint(struct UiaPoint point, ITextRangeProvider** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    // The character nearest the point, as EM_CHARFROMPOS finds it.
    const HexEditTextShape shape(*m_pCtrl);
    const LONGLONG nLines = shape.nLength == 0 ? 0 : (shape.nLength + 2) / shape.nStride;
    LONGLONG nIndex = 0;
    const LONG cx = m_pCtrl->m_sizeChar.cx, cy = m_pCtrl->m_sizeChar.cy;
    if (nLines > 0 && cx > 0 && cy > 0) {
        // Kept to what a LONG holds: a client's point may be anything.
        const double kLimit = 1e9;
        POINT pt = {static_cast<LONG>(std::max(-kLimit, std::min(point.x, kLimit))),
                    static_cast<LONG>(std::max(-kLimit, std::min(point.y, kLimit)))};
        ::ScreenToClient(m_hWnd, &pt);
        const LONGLONG nLine =
            std::max<LONGLONG>(0, std::min<LONGLONG>(nLines - 1, pt.y / cy + m_pCtrl->m_nFirstRow - 2 -
                                                                     m_pCtrl->GetReaderFirstRow()));
        const LONGLONG nCol = std::max<LONGLONG>(0, std::min<LONGLONG>(shape.nLineLength, pt.x / cx + m_pCtrl->m_nFirstCol));
        nIndex = nLine * shape.nStride + nCol;
    }
    *pRetVal = new (std::nothrow) CHexEditTextRange(this, nIndex, nIndex);
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CHexEditAutomation::get_DocumentRange(ITextRangeProvider** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (m_pCtrl == NULL)
        return kElementNotAvailable;
    *pRetVal = new (std::nothrow) CHexEditTextRange(this, 0, HexEditTextShape(*m_pCtrl).nLength);
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CHexEditAutomation::get_SupportedTextSelection(enum SupportedTextSelection* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = SupportedTextSelection_Single;
    return m_pCtrl == NULL ? kElementNotAvailable : S_OK;
}

// ---------------------------------------------------------------------------
// CHexEditTextRange

CHexEditTextRange::CHexEditTextRange(CHexEditAutomation* pProvider, LONGLONG nStart, LONGLONG nEnd)
    : m_nRefs(1), m_pProvider(pProvider), m_nStart(std::min(nStart, nEnd)), m_nEnd(std::max(nStart, nEnd))
{
    static_cast<IRawElementProviderSimple*>(m_pProvider)->AddRef();
}

CHexEditTextRange::~CHexEditTextRange()
{
    static_cast<IRawElementProviderSimple*>(m_pProvider)->Release();
}

STDMETHODIMP CHexEditTextRange::QueryInterface(REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == kIidTextRangeProvider || riid == kIidOwnTextRange) {
        *ppv = static_cast<ITextRangeProvider*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = NULL;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CHexEditTextRange::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) CHexEditTextRange::Release()
{
    const LONG n = ::InterlockedDecrement(&m_nRefs);
    if (n == 0)
        delete this;
    return static_cast<ULONG>(n);
}

CHexEditCtrl* CHexEditTextRange::Control()
{
    CHexEditCtrl* pCtrl = m_pProvider->GetControl();
    if (pCtrl != NULL) {
        const HexEditTextShape shape(*pCtrl);
        m_nStart = shape.Clamp(m_nStart);
        m_nEnd = shape.Clamp(m_nEnd);
    }
    return pCtrl;
}

CHexEditTextRange* CHexEditTextRange::OwnRange(ITextRangeProvider* pRange) const
{
    if (pRange == NULL)
        return NULL;
    void* pOwn = NULL;
    if (FAILED(pRange->QueryInterface(kIidOwnTextRange, &pOwn)) || pOwn == NULL)
        return NULL;
    CHexEditTextRange* pOther = static_cast<CHexEditTextRange*>(static_cast<ITextRangeProvider*>(pOwn));
    pOther->Release();   // the caller holds it for the call
    return pOther->m_pProvider == m_pProvider ? pOther : NULL;
}

LONGLONG& CHexEditTextRange::Endpoint(enum TextPatternRangeEndpoint endpoint)
{
    return endpoint == TextPatternRangeEndpoint_Start ? m_nStart : m_nEnd;
}

int CHexEditTextRange::MoveBoundary(LONGLONG& nPos, enum TextUnit unit, int nCount)
{
    const HexEditTextShape shape(*m_pProvider->GetControl());
    int nMoved = 0;
    for (; nCount > 0 && nPos < shape.nLength; nCount--, nMoved++) {
        do
            nPos++;
        while (!shape.IsBoundary(unit, nPos));
    }
    for (; nCount < 0 && nPos > 0; nCount++, nMoved--) {
        do
            nPos--;
        while (!shape.IsBoundary(unit, nPos));
    }
    return nMoved;
}

STDMETHODIMP CHexEditTextRange::Clone(ITextRangeProvider** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (Control() == NULL)
        return kElementNotAvailable;
    *pRetVal = new (std::nothrow) CHexEditTextRange(m_pProvider, m_nStart, m_nEnd);
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CHexEditTextRange::Compare(ITextRangeProvider* range, BOOL* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = FALSE;
    if (Control() == NULL)
        return kElementNotAvailable;
    CHexEditTextRange* pOther = OwnRange(range);
    if (pOther == NULL)
        return E_INVALIDARG;
    pOther->Control();
    *pRetVal = pOther->m_nStart == m_nStart && pOther->m_nEnd == m_nEnd;
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::CompareEndpoints(enum TextPatternRangeEndpoint endpoint,
                                                 ITextRangeProvider* targetRange,
                                                 enum TextPatternRangeEndpoint targetEndpoint, int* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = 0;
    if (Control() == NULL)
        return kElementNotAvailable;
    CHexEditTextRange* pOther = OwnRange(targetRange);
    if (pOther == NULL)
        return E_INVALIDARG;
    pOther->Control();
    const LONGLONG nDiff = Endpoint(endpoint) - pOther->Endpoint(targetEndpoint);
    *pRetVal = nDiff < 0 ? -1 : nDiff > 0 ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::ExpandToEnclosingUnit(enum TextUnit unit)
{
    CHexEditCtrl* pCtrl = Control();
    if (pCtrl == NULL)
        return kElementNotAvailable;
    const HexEditTextShape shape(*pCtrl);
    if (unit < TextUnit_Character || unit > TextUnit_Document)
        return E_INVALIDARG;
    // At the very end, the last unit encloses it.
    LONGLONG nStart = m_nStart;
    if (nStart >= shape.nLength && shape.nLength > 0)
        nStart = shape.nLength - 1;
    while (!shape.IsBoundary(unit, nStart))
        nStart--;
    LONGLONG nEnd = nStart;
    if (nEnd < shape.nLength) {
        do
            nEnd++;
        while (!shape.IsBoundary(unit, nEnd));
    }
    m_nStart = nStart;
    m_nEnd = nEnd;
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL, ITextRangeProvider** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    // The text has no attributes of its own: none is found.
    return Control() == NULL ? kElementNotAvailable : S_OK;
}

STDMETHODIMP CHexEditTextRange::FindText(BSTR text, BOOL backward, BOOL ignoreCase, ITextRangeProvider** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    CHexEditCtrl* pCtrl = Control();
    if (pCtrl == NULL)
        return kElementNotAvailable;
    if (text == NULL || ::SysStringLen(text) == 0)
        return E_INVALIDARG;
    // The text model is ASCII: one character a byte of it.
    const CString all = pCtrl->GetReaderText();
    std::string range = std::string(static_cast<LPCSTR>(all), static_cast<size_t>(all.GetLength()))
                            .substr(static_cast<size_t>(m_nStart), static_cast<size_t>(m_nEnd - m_nStart));
    std::string needle;
    for (UINT i = 0; i < ::SysStringLen(text); i++) {
        if (text[i] > 0x7E)
            return S_OK;   // a character the text cannot hold
        needle += static_cast<char>(text[i]);
    }
    if (ignoreCase) {
        auto lower = [](std::string& s) {
            for (char& c : s)
                if (c >= 'A' && c <= 'Z')
                    c = static_cast<char>(c - 'A' + 'a');
        };
        lower(range);
        lower(needle);
    }
    const size_t nAt = backward ? range.rfind(needle) : range.find(needle);
    if (nAt == std::string::npos)
        return S_OK;
    const LONGLONG nStart = m_nStart + static_cast<LONGLONG>(nAt);
    *pRetVal = new (std::nothrow)
        CHexEditTextRange(m_pProvider, nStart, nStart + static_cast<LONGLONG>(needle.size()));
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP CHexEditTextRange::GetAttributeValue(TEXTATTRIBUTEID, VARIANT* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    ::VariantInit(pRetVal);
    if (Control() == NULL)
        return kElementNotAvailable;
    // No attribute is supported: the system's value that says so.
    const HexEditUiaCore& core = HexEditUiaCore::Get();
    IUnknown* pNotSupported = NULL;
    if (core.pfnGetReservedNotSupportedValue != NULL &&
        SUCCEEDED(core.pfnGetReservedNotSupportedValue(&pNotSupported)) && pNotSupported != NULL) {
        pRetVal->vt = VT_UNKNOWN;
        pRetVal->punkVal = pNotSupported;
    }
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::GetBoundingRectangles(SAFEARRAY** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    CHexEditCtrl* pCtrl = Control();
    if (pCtrl == NULL)
        return kElementNotAvailable;
    // A rectangle a line, of the range's cells in it that are on screen, in
    // screen pixels: left, top, width, height each.
    const HexEditTextShape shape(*pCtrl);
    const LONG cx = pCtrl->m_sizeChar.cx, cy = pCtrl->m_sizeChar.cy;
    RECT rcClient = {0, 0, 0, 0};
    ::GetClientRect(pCtrl->m_hWnd, &rcClient);
    POINT ptOrigin = {0, 0};
    ::ClientToScreen(pCtrl->m_hWnd, &ptOrigin);
    std::vector<double> coords;
    if (m_nEnd > m_nStart && cx > 0 && cy > 0) {
        for (LONGLONG nLine = m_nStart / shape.nStride; nLine * shape.nStride < m_nEnd; nLine++) {
            const LONGLONG nLineStart = nLine * shape.nStride;
            const LONGLONG nFrom = std::max<LONGLONG>(m_nStart - nLineStart, 0);
            const LONGLONG nTo = std::min<LONGLONG>(m_nEnd - nLineStart, shape.nLineLength);
            if (nTo <= nFrom)
                continue;
            RECT rc;
            rc.left = static_cast<LONG>((nFrom - pCtrl->m_nFirstCol) * cx);
            rc.right = static_cast<LONG>((nTo - pCtrl->m_nFirstCol) * cx);
            rc.top = static_cast<LONG>((pCtrl->GetReaderFirstRow() + nLine + 2 - pCtrl->m_nFirstRow) * cy);
            rc.bottom = rc.top + cy;
            RECT rcShown;
            if (!::IntersectRect(&rcShown, &rc, &rcClient))
                continue;
            coords.push_back(static_cast<double>(ptOrigin.x + rcShown.left));
            coords.push_back(static_cast<double>(ptOrigin.y + rcShown.top));
            coords.push_back(static_cast<double>(rcShown.right - rcShown.left));
            coords.push_back(static_cast<double>(rcShown.bottom - rcShown.top));
        }
    }
    SAFEARRAY* psa = ::SafeArrayCreateVector(VT_R8, 0, static_cast<ULONG>(coords.size()));
    if (psa == NULL)
        return E_OUTOFMEMORY;
    for (LONG i = 0; i < static_cast<LONG>(coords.size()); i++) {
        if (FAILED(::SafeArrayPutElement(psa, &i, &coords[static_cast<size_t>(i)]))) {
            ::SafeArrayDestroy(psa);
            return E_OUTOFMEMORY;
        }
    }
    *pRetVal = psa;
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::GetEnclosingElement(IRawElementProviderSimple** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (Control() == NULL)
        return kElementNotAvailable;
    *pRetVal = m_pProvider;
    (*pRetVal)->AddRef();
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::GetText(int maxLength, BSTR* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    CHexEditCtrl* pCtrl = Control();
    if (pCtrl == NULL)
        return kElementNotAvailable;
    if (maxLength < -1)
        return E_INVALIDARG;
    LONGLONG nCount = m_nEnd - m_nStart;
    if (maxLength >= 0)
        nCount = std::min<LONGLONG>(nCount, maxLength);
    const CString all = pCtrl->GetReaderText();
    return ReturnText(all.Mid(static_cast<int>(m_nStart), static_cast<int>(nCount)), pRetVal);
}

STDMETHODIMP CHexEditTextRange::Move(enum TextUnit unit, int count, int* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = 0;
    CHexEditCtrl* pCtrl = Control();
    if (pCtrl == NULL)
        return kElementNotAvailable;
    if (unit < TextUnit_Character || unit > TextUnit_Document)
        return E_INVALIDARG;
    // The start moves from its unit's start; a range that spanned text
    // spans one unit after it, and stays within the last one.
    const bool bDegenerate = m_nStart == m_nEnd;
    const HexEditTextShape shape(*pCtrl);
    if (!bDegenerate)
        ExpandToEnclosingUnit(unit);
    int nMoved = MoveBoundary(m_nStart, unit, count);
    if (!bDegenerate && nMoved > 0 && m_nStart >= shape.nLength && shape.nLength > 0) {
        MoveBoundary(m_nStart, unit, -1);
        nMoved--;
    }
    m_nEnd = m_nStart;
    if (!bDegenerate)
        MoveBoundary(m_nEnd, unit, 1);
    *pRetVal = nMoved;
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::MoveEndpointByUnit(enum TextPatternRangeEndpoint endpoint, enum TextUnit unit,
                                                   int count, int* pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = 0;
    if (Control() == NULL)
        return kElementNotAvailable;
    if (unit < TextUnit_Character || unit > TextUnit_Document)
        return E_INVALIDARG;
    LONGLONG& nPos = Endpoint(endpoint);
    *pRetVal = MoveBoundary(nPos, unit, count);
    // An end moved past the other takes it along.
    if (m_nStart > m_nEnd) {
        if (endpoint == TextPatternRangeEndpoint_Start)
            m_nEnd = m_nStart;
        else
            m_nStart = m_nEnd;
    }
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::MoveEndpointByRange(enum TextPatternRangeEndpoint endpoint,
                                                    ITextRangeProvider* targetRange,
                                                    enum TextPatternRangeEndpoint targetEndpoint)
{
    if (Control() == NULL)
        return kElementNotAvailable;
    CHexEditTextRange* pOther = OwnRange(targetRange);
    if (pOther == NULL)
        return E_INVALIDARG;
    pOther->Control();
    Endpoint(endpoint) = pOther->Endpoint(targetEndpoint);
    if (m_nStart > m_nEnd) {
        if (endpoint == TextPatternRangeEndpoint_Start)
            m_nEnd = m_nStart;
        else
            m_nStart = m_nEnd;
    }
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::Select()
{
    CHexEditCtrl* pCtrl = Control();
    if (pCtrl == NULL)
        return kElementNotAvailable;
    // The caret goes to the cell where the range starts; a start on an
    // address, a line's end or past the bytes selects nothing.
    pCtrl->PlaceCaretAtReaderIndex(m_nStart);
    return S_OK;
}

STDMETHODIMP CHexEditTextRange::AddToSelection()
{
    return Control() == NULL ? kElementNotAvailable : kInvalidOperation;   // one selection only
}

STDMETHODIMP CHexEditTextRange::RemoveFromSelection()
{
    return Control() == NULL ? kElementNotAvailable : kInvalidOperation;
}

STDMETHODIMP CHexEditTextRange::ScrollIntoView(BOOL)
{
    // The text model is the rows on screen: every range is in view already.
    return Control() == NULL ? kElementNotAvailable : S_OK;
}

STDMETHODIMP CHexEditTextRange::GetChildren(SAFEARRAY** pRetVal)
{
    if (pRetVal == NULL)
        return E_POINTER;
    *pRetVal = NULL;
    if (Control() == NULL)
        return kElementNotAvailable;
    *pRetVal = ::SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
    return *pRetVal != NULL ? S_OK : E_OUTOFMEMORY;
}
