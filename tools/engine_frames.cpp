#include "tools/engine_frames.h"

#include "engine/indexed_surface.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine/software_palette.h"
#include "settings/random.h"
#include "settings/settings_form.h"
#include "tools/render_setting.h"

#include <filesystem>

namespace nimbrel {
namespace {

// Nothing here can fail the way a window system does; the texts would only be noise.
class NoAlerts : public AlertSink {
  public:
    void alert(const std::string&) override {}
};

class EngineFrames : public FrameSource {
  public:
    EngineFrames(const RenderOptions& options)
        : form_(std::filesystem::path(options.palettes)), surface_(options.width, options.height) {}

    // The holder and the engine for the setting; false with `failure` when a line is bad.
    bool start(const RenderOptions& options, const std::vector<std::string>& lines,
               RenderFailure& failure) {
        if (const auto problem = form_.Apply_setting(lines)) {
            failure = {render_bad_data, options.settings_file + ": setting \"" + lines.at(0) +
                                            "\", line " + std::to_string(problem->line) + ": " +
                                            problem->reason};
            return false;
        }
        set_random_seed(options.seed);
        engine_ = std::make_unique<Nimbrel>(form_, surface_, palette_, alerts_);
        return true;
    }

    void step() override { engine_->frame_step(false); }
    const IndexedSurface& frame() const override { return surface_; }
    const PaletteEntries& palette() const override { return palette_.entries(); }
    int frames_per_second() const override { return engine_->design_fps(); }

  private:
    TSettings_Form form_;
    IndexedSurface surface_;
    SoftwarePalette palette_;
    NoAlerts alerts_;
    std::unique_ptr<Nimbrel> engine_; // last: it goes before what it draws into
};

} // namespace

std::unique_ptr<FrameSource> open_engine_frames(const RenderOptions& options,
                                                RenderFailure& failure) {
    std::error_code ec;
    if (!std::filesystem::is_directory(options.palettes, ec)) {
        failure = {render_bad_data, "no palette folder " + options.palettes};
        return nullptr;
    }
    const auto lines = load_render_setting(options, failure);
    if (!lines) return nullptr;
    // Palette names in the holder's list are resolved against the process-wide folder.
    set_palette_folder(options.palettes);
    auto frames = std::make_unique<EngineFrames>(options);
    if (!frames->start(options, *lines, failure)) return nullptr;
    return frames;
}

} // namespace nimbrel
