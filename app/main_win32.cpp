// The entry procedure: the few program-wide objects, the display and the palettes prepared, then
// the kit's controller decides from the command line what to show, and the message loop runs.
#include "app/display_modes_win32.h"
#include "app/saver_form_win32.h"
#include "app/thinking_box_win32.h"
#include "app/win32_api.h"
#include "dialogs/config_form_win32.h"
#include "engine/palette_file.h"
#include "saverkit/scr_control_win32.h"
#include "settings/options.h"
#include "settings/random.h"
#include "settings/registry.h"

#include <memory>

using namespace nimbrel;

namespace {

// Gives the display its old mode back however the run ends.
class ScreenModeRestorer {
  public:
    explicit ScreenModeRestorer(DisplayModes& display) : display_(display) {}
    ~ScreenModeRestorer() { restore(); }
    ScreenModeRestorer(const ScreenModeRestorer&) = delete;
    ScreenModeRestorer& operator=(const ScreenModeRestorer&) = delete;
    void restore() {
        if (done_) return;
        done_ = true;
        Restore_screen_mode(display_);
    }

  private:
    DisplayModes& display_;
    bool done_ = false;
};

void run() {
    auto options = std::make_unique<Nimbrel_Options>(*system_registry());
    install_options(options.get());
    install_thinking_box(&thinking_box_proxy());

    auto control = std::make_unique<TScrControl>();
    control->AllowMute = false;

    Win32DisplayModes display;
    ScreenModeRestorer restorer(display);
    Switch_to_256_colours(display,
                          DisplayPolicy{options->Prompt_screen_change, options->Prompt_force_change,
                                        options->Emulate_palette},
                          *options, GetScrMode() != smSFull);

    if (!find_palettes(options->Directory + "Palette"))
        options->add(err_no_palettes,
                     "Nimbrel couldn't find any palettes in " + palette_folder() + "\n");

    control->Run(FormClass<TSaverForm>(), ConfigFormClass(*options));
    RunMessageLoop();

    control.reset(); // the forms, which save what they changed, before what they use
    options.reset(); // writes the INI file
    restorer.restore();
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    seed_random_from_time_of_day();
    TApplicationWindow application("Nimbrel : Screensaver");
    try {
        run();
    } catch (...) {
        HandleException();
    }
    install_thinking_box(nullptr);
    Release_thinking_box();
    return 0;
}
