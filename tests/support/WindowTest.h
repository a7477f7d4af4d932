// A test on real windows of its own thread: it starts with the library's per-process state reset
// and the recording log empty, and destroys the windows it kept, newest first.
#pragma once

#include "tests/support/ProcessState.h"
#include "tests/support/TestWindows.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

namespace testing_support {

class WindowTest : public testing::Test {
protected:
    void SetUp() override
    {
        ResetProcessState();
        ForgetReceived();
    }
    void TearDown() override
    {
        for (auto it = kept_.rbegin(); it != kept_.rend(); ++it)
            if (IsWindow(*it)) DestroyWindow(*it);
        kept_.clear();
    }
    HWND Keep(HWND window)
    {
        EXPECT_NE(window, nullptr);
        kept_.push_back(window);
        return window;
    }

private:
    std::vector<HWND> kept_;
};

}  // namespace testing_support
