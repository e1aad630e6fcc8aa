// One QApplication for the whole test program, with the window's font and
// theme, as the program itself starts.
#include <gtest/gtest.h>

#include <QApplication>

#include "platform/qt/Fonts.h"
#include "platform/qt/Theme.h"

namespace {

class GuiEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    app_ = std::make_unique<QApplication>(argc_, argv_);
    ASSERT_TRUE(registerTahoma()) << "tahoma.ttf missing (package fonts-wine)";
    QApplication::setFont(tahomaPoints(8));
    ASSERT_TRUE(applyTheme(*app_));
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
