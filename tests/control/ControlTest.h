// ControlTest.h - the window-level tests' common GoogleTest fixture: the
// control in a host window, holding the counting sample. TestHost.h holds
// the rest of what the tests share and needs no test framework.
#pragma once

#include "TestHost.h"
#include <gtest/gtest.h>

namespace qxtest {

// A fixture: the control in a 800 x 600 area of a host window, holding the
// counting sample of 4096 bytes, and the size of its cell.
template <class Ctl>
class CountingControlTest : public ::testing::Test {
protected:
    explicit CountingControlTest(int nHostWidth = 1000, int nHostHeight = 800) : host(nHostWidth, nHostHeight) {}
    void SetUp() override
    {
        ASSERT_TRUE(ctl.CreateIn(host, 800, 600));
        ctl.SetCounting(4096);
        cx = ctl.m_sizeChar.cx;
        cy = ctl.m_sizeChar.cy;
        ASSERT_GT(cx, 0);
        ASSERT_GT(cy, 0);
    }

    TestHost host;
    Ctl ctl;
    int cx = 0, cy = 0;
};

// Runs fn on a thread of its own in COM's multithreaded apartment, as an
// assistive client in another process calls, while this thread handles the
// messages its calls bring.
template <class F>
void AsClientThread(F fn)
{
    struct Call {
        F* pfn;
        static DWORD WINAPI Run(LPVOID p)
        {
            ::CoInitializeEx(NULL, COINIT_MULTITHREADED);
            (*static_cast<Call*>(p)->pfn)();
            ::CoUninitialize();
            return 0;
        }
    } call = {&fn};
    HANDLE hThread = ::CreateThread(NULL, 0, &Call::Run, &call, 0, NULL);
    ASSERT_NE(static_cast<HANDLE>(NULL), hThread);
    while (::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
        Pump();
    ::CloseHandle(hThread);
    Pump();
}

} // namespace qxtest
