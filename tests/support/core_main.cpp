// Test main of the core tests: a QCoreApplication and an isolated settings folder.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "tests/support/IsolatedEnvironment.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing_support::IsolateEnvironment();
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}
