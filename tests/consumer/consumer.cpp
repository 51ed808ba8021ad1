// A host outside the repository: it embeds the control in a window of its
// own and has the control report a file that is not there. The framework's
// message box must carry the framework's Italian message (which exists only
// if the host took the framework's resources) and the host's title. Then it
// follows the user as a host does: asks for the change and selection
// notifications, reads the bytes, the caret and the modified flag back, and
// makes the control read-only, and finds the control's own strings in its
// resources. Prints what it saw; exits 0 when it is right.
#include "HexEditCtrl.h"
#include "HexEditRes.h"
#include <stdio.h>
#include <string>

namespace {

std::string g_text, g_caption;
int g_boxes = 0;
HHOOK g_hook = NULL;

// The host window: hears the control's notifications through its message
// map, as an MFC program does.
class CConsumerHost : public CWnd {
public:
    int m_nChanges = 0;
    LONGLONG m_nCaret = -1;

protected:
    afx_msg void OnHexChange() { ++m_nChanges; }
    afx_msg void OnHexSelChange(NMHDR* pNMHDR, LRESULT* pResult)
    {
        m_nCaret = reinterpret_cast<NMHEXSELCHANGE*>(pNMHDR)->nCaret;
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CConsumerHost, CWnd)
    ON_EN_CHANGE(1, &CConsumerHost::OnHexChange)
    ON_NOTIFY(EN_SELCHANGE, 1, &CConsumerHost::OnHexSelChange)
END_MESSAGE_MAP()

BOOL CALLBACK ReadStatic(HWND hChild, LPARAM)
{
    char cls[16] = "", buf[1024] = "";
    GetClassNameA(hChild, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(hChild, buf, sizeof buf) > 0 &&
        std::string(buf).size() > g_text.size())
        g_text = buf;   // the message, not the icon's empty static
    return TRUE;
}

// Reads every message box this thread shows and closes it with OK.
LRESULT CALLBACK BoxReader(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND hBox = reinterpret_cast<HWND>(wParam);
        char cls[16] = "", caption[256] = "";
        GetClassNameA(hBox, cls, sizeof cls);
        if (lstrcmpA(cls, "#32770") == 0) {
            ++g_boxes;
            EnumChildWindows(hBox, ReadStatic, 0);
            GetWindowTextA(hBox, caption, sizeof caption);
            g_caption = caption;
            PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

} // namespace

int main()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "ConsumerHost";
    RegisterClassA(&wc);
    CConsumerHost host;
    CHexEditCtrl ctrl;
    if (!host.CreateEx(0, "ConsumerHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL) ||
        !ctrl.Create(CRect(0, 0, 600, 400), &host, 1)) {
        printf("consumer: could not create the control\n");
        return 1;
    }
    CByteArray data;
    data.Add(0x42);
    ctrl.SetData(&data);

    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    std::string path = std::string(dir) + "hexedit-consumer-missing.bin";
    DeleteFileA(path.c_str());

    g_hook = SetWindowsHookExA(WH_CBT, BoxReader, NULL, GetCurrentThreadId());
    ctrl.LoadFile(path.c_str());
    UnhookWindowsHookEx(g_hook);

    std::string expected = path + " non trovato.";
    printf("consumer: %d box(es), caption \"%s\", text \"%s\"\n", g_boxes, g_caption.c_str(), g_text.c_str());
    bool ok = true;
    if (g_boxes != 1 || g_text != expected || g_caption != "Consumer") {
        printf("consumer: expected one box \"Consumer\" saying \"%s\"\n", expected.c_str());
        ok = false;
    }

    // Two digits typed over the byte 0x42, then one more on the next byte,
    // read-only.
    data.Add(0x43);
    ctrl.SetData(&data);
    ctrl.SendMessage(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE);
    ctrl.SendMessage(WM_CHAR, '9', 1);
    ctrl.SendMessage(WM_CHAR, 'a', 1);
    CByteArray back;
    ctrl.GetData(&back);
    ctrl.SetReadOnly(TRUE);
    ctrl.SendMessage(WM_CHAR, '1', 1);
    CByteArray after;
    ctrl.GetData(&after);
    LONGLONG nFirst = -1, nLast = -1;
    BOOL bSelected = ctrl.SetSelection(0, 1) && ctrl.GetSelection(nFirst, nLast);
    printf("consumer: typed %02X %02X, %d change(s), caret at %lld, %s; read-only typing left %02X; selected %lld-%lld\n",
           back[0], back[1], host.m_nChanges, host.m_nCaret, ctrl.GetModify() ? "modified" : "not modified", after[1], nFirst,
           nLast);
    if (back.GetSize() != 2 || back[0] != 0x9A || back[1] != 0x43 || host.m_nChanges != 2 || !ctrl.GetModify() ||
        after[1] != 0x43 || !bSelected || nFirst != 0 || nLast != 1 || host.m_nCaret != 1) {
        printf("consumer: expected 9A 43, 2 changes, caret at 1, modified; 43 kept; selected 0-1\n");
        ok = false;
    }

    // The control's own texts (its progress window's, its own messages) came
    // with the resources too: a progress window without them has no caption.
    CString strCaption;
    strCaption.LoadString(IDS_HEXEDIT_LOADING);
    printf("consumer: the control's load caption \"%s\"\n", static_cast<LPCSTR>(strCaption));
    if (strCaption != "Loading") {
        printf("consumer: expected the control's string \"Loading\"\n");
        ok = false;
    }
    ctrl.DestroyWindow();
    host.DestroyWindow();
    return ok ? 0 : 1;
}
