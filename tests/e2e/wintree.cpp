// wintree.exe - the end-to-end tests' eyes and hands inside Wine: lists a
// program's windows with what another process can read of them, and moves
// windows and reads the registry on the tests' behalf.
//
//   wintree list TITLE        top-level windows whose title contains TITLE
//                             and all their descendants, one per line
//   wintree move HWND X Y W H SetWindowPos (a restored window first)
//   wintree reg KEY VALUE     a string value under HKEY_CURRENT_USER
//   wintree panes HWND        a status bar's pane texts, one a line: read
//                             through memory of the bar's own process, as
//                             SB_GETTEXT's text is not carried across
//
// A window line: hwnd=0x.. parent=0x.. (0: top-level) class=.. id=.. style=0x..
// visible=0|1 window=l,t,r,b client=l,t,r,b (screen) focus=0|1
// [caret=l,t,r,b (screen), on the window that has the caret]
// tbcount=N (toolbars) text="..."
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HWND g_focus;
static HWND g_caretWnd;
static RECT g_caret;

// The parent proper (not the owner GetParent gives for popups); 0 for a
// top-level window.
static HWND Parent(HWND h)
{
    HWND p = GetAncestor(h, GA_PARENT);
    return p == GetDesktopWindow() ? NULL : p;
}

static void Print(HWND h)
{
    char cls[64] = "", text[256] = "";
    GetClassNameA(h, cls, sizeof cls);
    DWORD_PTR len = 0;
    // WM_GETTEXT is marshalled between processes; a timeout keeps a hung
    // window from hanging the listing.
    SendMessageTimeoutA(h, WM_GETTEXT, sizeof text, (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &len);
    for (char* p = text; *p; ++p)
        if (*p == '"' || *p == '\n' || *p == '\r')
            *p = ' ';
    RECT w, c;
    GetWindowRect(h, &w);
    GetClientRect(h, &c);
    MapWindowPoints(h, NULL, (LPPOINT)&c, 2);
    printf("hwnd=%#lx parent=%#lx class=%s id=%ld style=%#lx visible=%d window=%ld,%ld,%ld,%ld "
           "client=%ld,%ld,%ld,%ld focus=%d",
           (unsigned long)(UINT_PTR)h, (unsigned long)(UINT_PTR)Parent(h), cls, (long)GetWindowLongPtrA(h, GWLP_ID),
           (unsigned long)GetWindowLongA(h, GWL_STYLE), IsWindowVisible(h) ? 1 : 0, w.left, w.top, w.right, w.bottom,
           c.left, c.top, c.right, c.bottom, h == g_focus ? 1 : 0);
    if (h == g_caretWnd) {
        RECT r = g_caret;
        MapWindowPoints(h, NULL, (LPPOINT)&r, 2);
        printf(" caret=%ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    }
    if (lstrcmpiA(cls, TOOLBARCLASSNAMEA) == 0)
        printf(" tbcount=%ld", (long)SendMessageA(h, TB_BUTTONCOUNT, 0, 0));
    printf(" text=\"%s\"\n", text);
}

static BOOL CALLBACK PrintChild(HWND h, LPARAM)
{
    Print(h);
    return TRUE;
}

static BOOL CALLBACK PrintTop(HWND h, LPARAM lParam)
{
    char text[256] = "";
    GetWindowTextA(h, text, sizeof text);
    if (!IsWindowVisible(h) || strstr(text, (const char*)lParam) == NULL)
        return TRUE;
    GUITHREADINFO gti;
    memset(&gti, 0, sizeof gti);
    gti.cbSize = sizeof gti;
    BOOL got = GetGUIThreadInfo(GetWindowThreadProcessId(h, NULL), &gti);
    g_focus = got ? gti.hwndFocus : NULL;
    g_caretWnd = got ? gti.hwndCaret : NULL;
    g_caret = gti.rcCaret;
    Print(h);
    EnumChildWindows(h, PrintChild, 0);
    return TRUE;
}

int main(int argc, char** argv)
{
    if (argc >= 3 && strcmp(argv[1], "list") == 0) {
        EnumWindows(PrintTop, (LPARAM)argv[2]);
        return 0;
    }
    if (argc >= 7 && strcmp(argv[1], "move") == 0) {
        HWND h = (HWND)(UINT_PTR)strtoul(argv[2], NULL, 0);
        if (IsZoomed(h))
            ShowWindow(h, SW_RESTORE);
        return SetWindowPos(h, NULL, atoi(argv[3]), atoi(argv[4]), atoi(argv[5]), atoi(argv[6]),
                            SWP_NOZORDER | SWP_NOACTIVATE) ? 0 : 1;
    }
    if (argc >= 4 && strcmp(argv[1], "post") == 0) {
        // As another program's close (taskkill without /f) posts WM_CLOSE.
        HWND h = (HWND)(UINT_PTR)strtoul(argv[2], NULL, 0);
        return PostMessageA(h, (UINT)strtoul(argv[3], NULL, 0), 0, 0) ? 0 : 1;
    }
    if (argc >= 3 && strcmp(argv[1], "panes") == 0) {
        HWND h = (HWND)(UINT_PTR)strtoul(argv[2], NULL, 0);
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        HANDLE hProcess = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (hProcess == NULL)
            return 1;
        const SIZE_T kBuf = 1024;
        void* pRemote = VirtualAllocEx(hProcess, NULL, kBuf, MEM_COMMIT, PAGE_READWRITE);
        int rc = pRemote == NULL ? 1 : 0;
        DWORD_PTR nParts = 0;
        if (pRemote != NULL)
            SendMessageTimeoutA(h, SB_GETPARTS, 0, 0, SMTO_ABORTIFHUNG, 2000, &nParts);
        for (int i = 0; pRemote != NULL && i < (int)nParts; i++) {
            char text[kBuf] = "";
            DWORD_PTR r = 0;
            WriteProcessMemory(hProcess, pRemote, text, 1, NULL);
            SendMessageTimeoutA(h, SB_GETTEXTA, i, (LPARAM)pRemote, SMTO_ABORTIFHUNG, 2000, &r);
            ReadProcessMemory(hProcess, pRemote, text, kBuf - 1, NULL);
            text[kBuf - 1] = '\0';
            printf("%s\n", text);
        }
        if (pRemote != NULL)
            VirtualFreeEx(hProcess, pRemote, 0, MEM_RELEASE);
        CloseHandle(hProcess);
        return rc;
    }
    if (argc >= 4 && strcmp(argv[1], "reg") == 0) {
        char buf[1024] = "";
        DWORD size = sizeof buf;
        if (RegGetValueA(HKEY_CURRENT_USER, argv[2], argv[3], RRF_RT_REG_SZ, NULL, buf, &size) != ERROR_SUCCESS)
            return 1;
        printf("%s\n", buf);
        return 0;
    }
    fprintf(stderr, "usage: wintree list TITLE | move HWND X Y W H | post HWND MESSAGE | reg KEY VALUE | panes HWND\n");
    return 2;
}
