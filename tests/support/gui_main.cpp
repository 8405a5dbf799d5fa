// Test main of the window tests: a QApplication on the offscreen platform, an
// isolated settings folder, and a check that no test leaves a window open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>

#include <cstdlib>

#include "tests/support/IsolatedEnvironment.h"

namespace {

class NoWindowLeft : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo& info) override {
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->isVisible()) {
        ADD_FAILURE() << info.name() << " left a window open: " << w->metaObject()->className()
                      << " \"" << w->windowTitle().toStdString() << "\"";
        w->close();
      }
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  testing_support::IsolateEnvironment();
  QApplication app(argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new NoWindowLeft);
  return RUN_ALL_TESTS();
}
