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

} // namespace qxtest
