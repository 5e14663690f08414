#pragma once

#include <QGuiApplication>
#include <QtTest>

// Tests that need the real X server fail, never skip, when it is missing.
#define REQUIRE_X11()                                                                              \
    do {                                                                                           \
        QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"),                                             \
                 "DISPLAY is not set: run the tests through scripts/test");                        \
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));                          \
    } while (false)
