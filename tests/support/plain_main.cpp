// Test main of the archiver tests: no Qt event loop is needed there.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/support/IsolatedEnvironment.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing_support::IsolateEnvironment();
  QCoreApplication app(argc, argv);  // for QProcess and QTemporaryDir in the helpers
  return RUN_ALL_TESTS();
}
