// AutomationTests.cpp - what a UI Automation client gets from the control:
// the element's properties read through the system's client functions from
// a second thread with COM, and the Value and Text patterns called on the
// provider the control handed out, on the control's thread, where its
// ProviderOptions_UseComThreading brings a client's calls. (Wine 8's
// UiaGetPatternProvider is an unimplemented stub that aborts the process, so
// a client there cannot reach the patterns itself.)
#include "ControlTest.h"
#include "HexEditAutomation.h"

#include <string>

using qxtest::Pump;
using qxtest::TestHexEdit;

namespace {

const IID kIidValueProvider = {0xc7935180, 0x6fb3, 0x4201, {0xb1, 0x74, 0x7d, 0xf7, 0x3a, 0xdb, 0xf6, 0x4a}};
const IID kIidTextProvider = {0x3589c92c, 0x63f3, 0x4367, {0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2}};
const IID kIidTextRangeProvider = {0x5347ad7b, 0xc355, 0x46f8, {0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63}};

// The client functions of uiautomationcore.dll these tests call (mingw-w64
// has no import library for it).
struct UiaClient {
    HRESULT(WINAPI* NodeFromHandle)(HWND, void** phNode);
    HRESULT(WINAPI* GetPropertyValue)(void* hNode, PROPERTYID, VARIANT*);
    BOOL(WINAPI* NodeRelease)(void* hNode);

    UiaClient()
    {
        HMODULE hDll = ::LoadLibraryA("uiautomationcore.dll");
        NodeFromHandle = reinterpret_cast<decltype(NodeFromHandle)>(
            reinterpret_cast<void*>(::GetProcAddress(hDll, "UiaNodeFromHandle")));
        GetPropertyValue = reinterpret_cast<decltype(GetPropertyValue)>(
            reinterpret_cast<void*>(::GetProcAddress(hDll, "UiaGetPropertyValue")));
        NodeRelease = reinterpret_cast<decltype(NodeRelease)>(
            reinterpret_cast<void*>(::GetProcAddress(hDll, "UiaNodeRelease")));
    }
    bool Usable() const { return NodeFromHandle != NULL && GetPropertyValue != NULL && NodeRelease != NULL; }
};

// A property as a client reads it: the HRESULT, and the value as text.
struct Property {
    HRESULT hr = E_FAIL;
    std::wstring text;
};

Property Read(const UiaClient& uia, void* hNode, PROPERTYID id)
{
    Property p;
    VARIANT v;
    ::VariantInit(&v);
    p.hr = uia.GetPropertyValue(hNode, id, &v);
    if (v.vt == VT_BSTR && v.bstrVal != NULL)
        p.text.assign(v.bstrVal, ::SysStringLen(v.bstrVal));
    else if (v.vt == VT_I4)
        p.text = std::to_wstring(v.lVal);
    else if (v.vt == VT_BOOL)
        p.text = v.boolVal != VARIANT_FALSE ? L"true" : L"false";
    ::VariantClear(&v);
    return p;
}

std::wstring Take(BSTR b)
{
    std::wstring text = b != NULL ? std::wstring(b, ::SysStringLen(b)) : std::wstring();
    ::SysFreeString(b);
    return text;
}

std::wstring Wide(const std::string& s)
{
    return std::wstring(s.begin(), s.end());
}

class AutomationTest : public qxtest::CountingControlTest<TestHexEdit> {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(CountingControlTest::SetUp());
        ASSERT_TRUE(uia.Usable());
        ctl.SetLayoutCells(85, 20);   // the header's 2 lines and 18 rows
        ::SetForegroundWindow(host.hwnd());
        ::SetFocus(ctl.m_hWnd);
        Pump();
        ASSERT_EQ(ctl.m_hWnd, ::GetFocus());
    }
    // The properties a client reads of the control's element, read once.
    struct Element {
        HRESULT hrNode = E_FAIL;
        Property controlType, name, helpText, focusable, focused;
    };
    Element ReadElement()
    {
        Element e;
        const HWND hWnd = ctl.m_hWnd;
        qxtest::AsClientThread([&] {
            void* hNode = NULL;
            e.hrNode = uia.NodeFromHandle(hWnd, &hNode);
            if (FAILED(e.hrNode) || hNode == NULL)
                return;
            e.controlType = Read(uia, hNode, UIA_ControlTypePropertyId);
            e.name = Read(uia, hNode, UIA_NamePropertyId);
            e.helpText = Read(uia, hNode, UIA_HelpTextPropertyId);
            e.focusable = Read(uia, hNode, UIA_IsKeyboardFocusablePropertyId);
            e.focused = Read(uia, hNode, UIA_HasKeyboardFocusPropertyId);
            uia.NodeRelease(hNode);
        });
        return e;
    }
    // The control's Text pattern, as the provider it handed a client gives it.
    ITextProvider* TextPattern()
    {
        if (ctl.m_pAutomation == NULL)
            return NULL;
        IUnknown* pUnk = NULL;
        ITextProvider* pText = NULL;
        if (SUCCEEDED(ctl.m_pAutomation->GetPatternProvider(UIA_TextPatternId, &pUnk)) && pUnk != NULL) {
            pUnk->QueryInterface(kIidTextProvider, reinterpret_cast<void**>(&pText));
            pUnk->Release();
        }
        return pText;
    }
    std::string Text()
    {
        std::string text(static_cast<size_t>(::GetWindowTextLengthA(ctl.m_hWnd)) + 1, '\0');
        text.resize(static_cast<size_t>(::GetWindowTextA(ctl.m_hWnd, &text[0], static_cast<int>(text.size()))));
        return text;
    }
    static std::wstring TextOf(ITextRangeProvider* p)
    {
        BSTR b = NULL;
        return SUCCEEDED(p->GetText(-1, &b)) ? Take(b) : L"(failed)";
    }
    // The one range of a selection, or NULL.
    static ITextRangeProvider* OnlyRange(SAFEARRAY* psa)
    {
        ITextRangeProvider* pRange = NULL;
        LONG nLower = 0, nUpper = -1;
        if (psa != NULL && SUCCEEDED(::SafeArrayGetLBound(psa, 1, &nLower)) &&
            SUCCEEDED(::SafeArrayGetUBound(psa, 1, &nUpper)) && nUpper == nLower) {
            IUnknown* pUnk = NULL;
            if (SUCCEEDED(::SafeArrayGetElement(psa, &nLower, &pUnk)) && pUnk != NULL) {
                pUnk->QueryInterface(kIidTextRangeProvider, reinterpret_cast<void**>(&pRange));
                pUnk->Release();
            }
        }
        if (psa != NULL)
            ::SafeArrayDestroy(psa);
        return pRange;
    }
    // Where the range's ends lie in the document, in characters.
    static std::pair<int, int> Ends(ITextRangeProvider* pRange, ITextRangeProvider* pDocument)
    {
        int nStart = -1, nEnd = -1;
        ITextRangeProvider* pProbe = NULL;
        if (FAILED(pDocument->Clone(&pProbe)))
            return {nStart, nEnd};
        // From the document's start to the range's end: the characters up to it.
        pProbe->MoveEndpointByRange(TextPatternRangeEndpoint_End, pRange, TextPatternRangeEndpoint_End);
        nEnd = static_cast<int>(TextOf(pProbe).size());
        pProbe->MoveEndpointByRange(TextPatternRangeEndpoint_End, pRange, TextPatternRangeEndpoint_Start);
        nStart = static_cast<int>(TextOf(pProbe).size());
        pProbe->Release();
        return {nStart, nEnd};
    }

    UiaClient uia;
};

TEST_F(AutomationTest, AClientReadsTheElementAndTheProviderIsMadeOnlyWhenOneAsks)
{
    ASSERT_EQ(NULL, ctl.m_pAutomation);
    Element e = ReadElement();
    ASSERT_HRESULT_SUCCEEDED(e.hrNode);
    ASSERT_NE(static_cast<CHexEditAutomation*>(NULL), ctl.m_pAutomation);
    EXPECT_EQ(std::to_wstring(UIA_EditControlTypeId), e.controlType.text);
    EXPECT_EQ(L"hex editor", e.name.text);
    // The IAccessible's description; no system's proxy of it gives it as
    // help text.
    EXPECT_EQ(L"4096 bytes", e.helpText.text);
    EXPECT_EQ(L"true", e.focusable.text);
    EXPECT_EQ(L"true", e.focused.text);

    ctl.SetAccessibleName("Blocco");
    ctl.SetReadOnly(TRUE);
    ::SetFocus(host.hwnd());
    Pump();
    e = ReadElement();
    EXPECT_EQ(L"Blocco", e.name.text);
    EXPECT_EQ(L"4096 bytes, read-only", e.helpText.text);
    EXPECT_EQ(L"false", e.focused.text);
}

TEST_F(AutomationTest, TheTextPatternGivesTheRowsOnScreenTheCaretAsSelectionAndCellsAsWords)
{
    ASSERT_HRESULT_SUCCEEDED(ReadElement().hrNode);
    ITextProvider* pText = TextPattern();
    ASSERT_NE(static_cast<ITextProvider*>(NULL), pText);
    ITextRangeProvider* pDocument = NULL;
    ASSERT_HRESULT_SUCCEEDED(pText->get_DocumentRange(&pDocument));
    EXPECT_EQ(Wide(Text()), TextOf(pDocument));

    // The caret on byte 0x12's low digit: line 1, column 10 + 6 + 1, a
    // degenerate selection where EM_GETSEL puts it.
    const int nStride = 78 + 2;
    ctl.SetCaretOffset(0x12);
    ::SendMessageA(ctl.m_hWnd, WM_KEYDOWN, VK_RIGHT, 0);
    SAFEARRAY* psa = NULL;
    ASSERT_HRESULT_SUCCEEDED(pText->GetSelection(&psa));
    ITextRangeProvider* pCaret = OnlyRange(psa);
    ASSERT_NE(static_cast<ITextRangeProvider*>(NULL), pCaret);
    EXPECT_EQ(std::make_pair(nStride + 17, nStride + 17), Ends(pCaret, pDocument));
    // Its word is the hex cell, its line the row with its line break; the
    // next line is row 2.
    ITextRangeProvider* pRange = NULL;
    ASSERT_HRESULT_SUCCEEDED(pCaret->Clone(&pRange));
    ASSERT_HRESULT_SUCCEEDED(pRange->ExpandToEnclosingUnit(TextUnit_Word));
    EXPECT_EQ(L"12 ", TextOf(pRange));
    SAFEARRAY* psaRects = NULL;
    ASSERT_HRESULT_SUCCEEDED(pRange->GetBoundingRectangles(&psaRects));
    double* pCoords = NULL;
    ASSERT_EQ(4u, psaRects->rgsabound[0].cElements);
    ASSERT_HRESULT_SUCCEEDED(::SafeArrayAccessData(psaRects, reinterpret_cast<void**>(&pCoords)));
    POINT ptCell = {16 * cx, 3 * cy};
    ::ClientToScreen(ctl.m_hWnd, &ptCell);
    EXPECT_EQ(ptCell.x, static_cast<LONG>(pCoords[0]));
    EXPECT_EQ(ptCell.y, static_cast<LONG>(pCoords[1]));
    EXPECT_EQ(3 * cx, static_cast<LONG>(pCoords[2]));
    EXPECT_EQ(cy, static_cast<LONG>(pCoords[3]));
    ::SafeArrayUnaccessData(psaRects);
    ::SafeArrayDestroy(psaRects);
    ASSERT_HRESULT_SUCCEEDED(pRange->ExpandToEnclosingUnit(TextUnit_Line));
    const std::wstring document = TextOf(pDocument);
    EXPECT_EQ(document.substr(nStride, nStride), TextOf(pRange));
    int nMoved = 0;
    ASSERT_HRESULT_SUCCEEDED(pRange->Move(TextUnit_Line, 1, &nMoved));
    EXPECT_EQ(1, nMoved);
    EXPECT_EQ(document.substr(2 * nStride, nStride), TextOf(pRange));
    // The last line moves no further, and keeps no line break it lacks.
    ASSERT_HRESULT_SUCCEEDED(pRange->Move(TextUnit_Line, 100, &nMoved));
    EXPECT_EQ(15, nMoved);
    EXPECT_EQ(document.substr(17 * nStride), TextOf(pRange));

    // Selecting a range puts the caret on its start cell: the character of
    // byte 0x25.
    ASSERT_HRESULT_SUCCEEDED(pRange->MoveEndpointByRange(TextPatternRangeEndpoint_Start, pDocument,
                                                         TextPatternRangeEndpoint_Start));
    ASSERT_HRESULT_SUCCEEDED(pRange->MoveEndpointByUnit(TextPatternRangeEndpoint_Start, TextUnit_Character,
                                                        2 * nStride + 62 + 5, &nMoved));
    ASSERT_HRESULT_SUCCEEDED(pRange->Select());
    EXPECT_EQ(1, ctl.m_nArea);
    EXPECT_EQ(0x25, ctl.m_nCaretPos);
    // A selection of bytes is the selection's cells.
    ::SendMessageA(ctl.m_hWnd, EM_SETSEL, 0x20, 0x23);
    psa = NULL;
    ASSERT_HRESULT_SUCCEEDED(pText->GetSelection(&psa));
    ITextRangeProvider* pSelection = OnlyRange(psa);
    ASSERT_NE(static_cast<ITextRangeProvider*>(NULL), pSelection);
    DWORD nStart = 0, nEnd = 0;
    ::SendMessageA(ctl.m_hWnd, EM_GETSEL, reinterpret_cast<WPARAM>(&nStart), reinterpret_cast<LPARAM>(&nEnd));
    EXPECT_EQ(std::make_pair(static_cast<int>(nStart), static_cast<int>(nEnd)), Ends(pSelection, pDocument));
    EXPECT_EQ(L"20 21 22", TextOf(pSelection));

    // The Value pattern says where the caret is, as the IAccessible does.
    IUnknown* pUnk = NULL;
    IValueProvider* pValue = NULL;
    ASSERT_HRESULT_SUCCEEDED(ctl.m_pAutomation->GetPatternProvider(UIA_ValuePatternId, &pUnk));
    ASSERT_HRESULT_SUCCEEDED(pUnk->QueryInterface(kIidValueProvider, reinterpret_cast<void**>(&pValue)));
    BSTR bValue = NULL;
    ASSERT_HRESULT_SUCCEEDED(pValue->get_Value(&bValue));
    EXPECT_EQ(L"3 bytes selected, 0x20 to 0x22; offset 0x22, 22, \", after the byte", Take(bValue));
    pValue->Release();
    pUnk->Release();

    pSelection->Release();
    pRange->Release();
    pCaret->Release();
    pDocument->Release();
    pText->Release();
}

TEST_F(AutomationTest, AProviderHeldAfterItsWindowIsGoneAnswersElementNotAvailable)
{
    ASSERT_HRESULT_SUCCEEDED(ReadElement().hrNode);
    ITextProvider* pText = TextPattern();
    ASSERT_NE(static_cast<ITextProvider*>(NULL), pText);
    ITextRangeProvider* pDocument = NULL;
    ASSERT_HRESULT_SUCCEEDED(pText->get_DocumentRange(&pDocument));
    IRawElementProviderSimple* pProvider = ctl.m_pAutomation;
    pProvider->AddRef();
    const HWND hWnd = ctl.m_hWnd;

    // A client holding the element while the window ends.
    Property before, after;
    qxtest::AsClientThread([&] {
        void* hNode = NULL;
        if (FAILED(uia.NodeFromHandle(hWnd, &hNode)) || hNode == NULL)
            return;
        before = Read(uia, hNode, UIA_NamePropertyId);
        ::SendMessageA(hWnd, WM_CLOSE, 0, 0);
        after = Read(uia, hNode, UIA_NamePropertyId);
        uia.NodeRelease(hNode);
    });
    EXPECT_EQ(L"hex editor", before.text);
    ASSERT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(NULL, ctl.m_pAutomation);
    // Wine 8 answers S_OK with no value once the provider refuses; either
    // way the client reads nothing of the dead control.
    EXPECT_EQ(L"", after.text);

    const HRESULT kGone = static_cast<HRESULT>(0x80040201L);
    VARIANT v;
    EXPECT_EQ(kGone, pProvider->GetPropertyValue(UIA_NamePropertyId, &v));
    EXPECT_EQ(VT_EMPTY, v.vt);
    ITextRangeProvider* pRange = NULL;
    EXPECT_EQ(kGone, pText->get_DocumentRange(&pRange));
    EXPECT_EQ(NULL, pRange);
    BSTR b = NULL;
    EXPECT_EQ(kGone, pDocument->GetText(-1, &b));
    EXPECT_EQ(NULL, b);
    EXPECT_EQ(kGone, pDocument->Select());
    pDocument->Release();
    pText->Release();
    pProvider->Release();
}

} // namespace
