// main for test executables whose registry is redirected to scratch keys.
#include "tests/support/ChildMode.h"
#include "tests/support/RegistrySandbox.h"

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    using testing_support::RegistrySandbox;
    if (!RegistrySandbox::Install()) {
        std::fprintf(stderr, "cannot redirect the registry to scratch keys\n");
        return 1;
    }
    int exitCode = 0;
    if (!testing_support::RunChildMode(argc, argv, exitCode)) {
        testing::InitGoogleTest(&argc, argv);
        exitCode = RUN_ALL_TESTS();
    }
    RegistrySandbox::Remove();
    return exitCode;
}
