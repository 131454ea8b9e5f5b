#pragma once

#include <QTest>

// Test binaries must never reach the real system bus or the real desktop opener: the
// system bus is pointed at a socket that does not exist unless a test gives its own
// private bus, and the opener on PATH is a fake that only records what it was handed.
void keepTestsOffTheRealSystem();

#define INSPECTION_TEST_MAIN(TestObject)                                                   \
    int main(int argc, char** argv)                                                        \
    {                                                                                      \
        keepTestsOffTheRealSystem();                                                       \
        QApplication app(argc, argv);                                                      \
        TestObject test;                                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                                         \
        return QTest::qExec(&test, argc, argv);                                            \
    }
