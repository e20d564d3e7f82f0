#include "vcl/Forms.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    // Widget logic and pixels need no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    Application->Shutdown();
    return result;
}
