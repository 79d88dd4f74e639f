// The suite's main: the Wine settings every run needs, put back as they were afterwards.
#include "driver.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class WineDisplaySettings : public ::testing::Environment {
  public:
    void SetUp() override {
        // Xvfb runs no window manager. Wine would wait two seconds for one whenever a managed
        // (full-screen) window is hidden, so every saver would take that long to close.
        managed_ =
            std::make_unique<e2e::RegistryValueGuard>("Software\\Wine\\X11 Driver", "Managed");
        managed_->set_string("N");
        // A crashing saver ends instead of waiting behind a crash dialog nobody sees.
        crash_dialog_ =
            std::make_unique<e2e::RegistryValueGuard>("Software\\Wine\\WineDbg", "ShowCrashDialog");
        crash_dialog_->set_number(0);
        // Savers run at 100 % unless a test says otherwise (the tests at 150 % set it themselves).
        log_pixels_ =
            std::make_unique<e2e::RegistryValueGuard>("Control Panel\\Desktop", "LogPixels");
        log_pixels_->set_number(96);
    }
    void TearDown() override {
        managed_.reset();
        crash_dialog_.reset();
        log_pixels_.reset();
    }

  private:
    std::unique_ptr<e2e::RegistryValueGuard> managed_, crash_dialog_, log_pixels_;
};

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new WineDisplaySettings);
    return RUN_ALL_TESTS();
}
