// MessageBoxCatcher.h - for tests: while one exists, every message box shown
// on this thread is read (its text and caption) and closed with OK. A common
// file dialog (it has a file name box) is left to the test that drives it.
#pragma once

#include <windows.h>
#include <string>

class MessageBoxCatcher {
public:
    MessageBoxCatcher()
    {
        Text().clear();
        Caption().clear();
        Count() = 0;
        Hook() = SetWindowsHookExA(WH_CBT, Proc, NULL, GetCurrentThreadId());
    }
    ~MessageBoxCatcher() { UnhookWindowsHookEx(Hook()); }
    static std::string& Text() { static std::string s; return s; }
    static std::string& Caption() { static std::string s; return s; }
    static int& Count() { static int n; return n; }

private:
    static HHOOK& Hook() { static HHOOK h; return h; }

    // The message is the longest static text of the box (its id differs
    // between Windows and Wine).
    static BOOL CALLBACK ReadStatic(HWND hChild, LPARAM lParam)
    {
        char cls[16] = "", buf[1024] = "";
        GetClassNameA(hChild, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0 && GetWindowTextA(hChild, buf, sizeof buf) > 0) {
            std::string* best = reinterpret_cast<std::string*>(lParam);
            if (std::string(buf).size() > best->size())
                *best = buf;
        }
        return TRUE;
    }

    static LRESULT CALLBACK Proc(int code, WPARAM wParam, LPARAM lParam)
    {
        if (code == HCBT_ACTIVATE) {
            HWND hBox = reinterpret_cast<HWND>(wParam);
            char cls[16] = "";
            GetClassNameA(hBox, cls, sizeof cls);
            if (lstrcmpA(cls, "#32770") == 0 && GetDlgItem(hBox, 0x47C) == NULL && GetDlgItem(hBox, 0x480) == NULL) {
                std::string text;
                EnumChildWindows(hBox, ReadStatic, reinterpret_cast<LPARAM>(&text));
                Text() = text;
                char buf[256] = "";
                GetWindowTextA(hBox, buf, sizeof buf);
                Caption() = buf;
                ++Count();
                PostMessageA(hBox, WM_COMMAND, IDOK, 0);
            }
        }
        return CallNextHookEx(Hook(), code, wParam, lParam);
    }
};
