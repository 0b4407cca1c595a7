// What every test program shares: a QApplication, the compiled-in resources,
// the fake services and a registry file of its own in a temporary folder.
#pragma once

#include "platform/fakes.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

namespace testsupport {

// The fakes every test runs against; installed before the tests start.
platform::FakeServices &fakes();

// A fresh temporary folder for this test program (holds the registry file).
QString tempFolder();

// The registry file the tests use, in tempFolder().
QString recordsFile();

// Before a test of the records: the fakes cleared, the services pointed at
// recordsFile() again and no file there.
void startWithoutRecords();

// Creates the six windows once, as the game does at start-up.
void createForms();

// Sets up the application, resources and fakes, then runs the test object.
int runTests(QObject &test, int argc, char **argv);

} // namespace testsupport

#define TORVA_TEST_MAIN(TestClass)                                                                 \
    int main(int argc, char **argv)                                                                \
    {                                                                                              \
        TorvaQApplication app(argc, argv);                                                         \
        TestClass test;                                                                            \
        return testsupport::runTests(test, argc, argv);                                            \
    }

#include "platform/application.h"
