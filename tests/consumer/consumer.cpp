// A host outside the repository: it embeds the control in a window of its
// own and has the control report a file that is not there. The framework's
// message box must carry the framework's Italian message (which exists only
// if the host took the framework's resources) and the host's title.
// Prints what the box said; exits 0 when it is right.
#include "HexEditCtrl.h"
#include <stdio.h>
#include <string>

namespace {

std::string g_text, g_caption;
int g_boxes = 0;
HHOOK g_hook = NULL;

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
    HWND hHost = CreateWindowExA(0, "STATIC", "host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL,
                                 GetModuleHandleA(NULL), NULL);
    CHexEditCtrl ctrl;
    if (hHost == NULL || !ctrl.Create(CRect(0, 0, 600, 400), CWnd::FromHandle(hHost), 1)) {
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
    ctrl.DestroyWindow();
    DestroyWindow(hHost);
    if (g_boxes != 1 || g_text != expected || g_caption != "Consumer") {
        printf("consumer: expected one box \"Consumer\" saying \"%s\"\n", expected.c_str());
        return 1;
    }
    return 0;
}
