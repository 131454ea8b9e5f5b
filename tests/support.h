#pragma once

#include <QTest>

#include <functional>

// Test binaries must never reach the real system bus or the real desktop opener: the
// system bus is pointed at a socket that does not exist unless a test gives its own
// private bus, and the opener on PATH is a fake that only records what it was handed.
void keepTestsOffTheRealSystem();

// Runs `step` once, from whatever event loop is running when `ready` first holds: the way a
// test acts inside a modal wait or a message box that its next call enters. If `ready` does
// not come within ten seconds, the test fails and every window is closed, so that no wait
// is left hanging.
void when(std::function<bool()> ready, std::function<void()> step);

// A run-time error report waits for a click that no test gives: this presses its OK button
// (which ends the process) after printing what it said, so that a test which sets one off
// fails at once and shows why, rather than hanging.
void endOnRuntimeErrorReports();

#define INSPECTION_TEST_MAIN(TestObject)                                                   \
    int main(int argc, char** argv)                                                        \
    {                                                                                      \
        keepTestsOffTheRealSystem();                                                       \
        QApplication app(argc, argv);                                                      \
        endOnRuntimeErrorReports();                                                        \
        TestObject test;                                                                   \
        QTEST_SET_MAIN_SOURCE_PATH                                                         \
        return QTest::qExec(&test, argc, argv);                                            \
    }
