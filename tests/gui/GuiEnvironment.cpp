// One QApplication for the whole test program, configured as the program
// itself configures its own.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/Application.h"

namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    ASSERT_TRUE(configureApplication(*app_, QStringLiteral(VELNARA_APP_ID)))
        << "tahoma.ttf (package fonts-wine) or the theme missing";
  }
  void TearDown() override { app_.reset(); }

 private:
  int argc_ = 1;
  char name_[9] = "test_gui";
  char* argv_[2] = {name_, nullptr};
  std::unique_ptr<QApplication> app_;
};

[[maybe_unused]] ::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

}  // namespace
