// Starts a private Xvfb before the application object exists, runs the tests, stops it.
#include "tests/x11/XServer.h"

#include <QApplication>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    bool listing = false;
    for (int i = 1; i < argc; ++i)
        listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
    ::testing::InitGoogleTest(&argc, argv);
    if (listing)
        return RUN_ALL_TESTS();

    const QByteArray display = xtest::startXvfb();
    if (display.isEmpty()) {
        fprintf(stderr, "cannot start Xvfb\n");
        return 1;
    }
    setenv("DISPLAY", display.constData(), 1);
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    setenv("DBUS_SESSION_BUS_ADDRESS", "disabled:", 1);
    int result = 1;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    xtest::stopXvfb();
    return result;
}
