// nimbrel-render: options, frame names, output over a frame source, exit codes and the engine.
#include "tools/engine_frames.h"
#include "tools/render_command.h"
#include "tools/render_output.h"

#include "temp_folder.h"

#include <gif_lib.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

using namespace nimbrel;
namespace fs = std::filesystem;

namespace {

const std::vector<std::string> required = {"--settings", "s.cmp",      "--setting",
                                           "3",          "--palettes", "pal"};

std::vector<std::string> with(std::vector<std::string> extra) {
    std::vector<std::string> args = required;
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

// A source whose frame n is filled with index n and whose palette shows index i as grey i+n.
class CountingSource : public FrameSource {
  public:
    CountingSource(int width, int height) : frame_(width, height) {}
    void step() override {
        ++steps;
        for (int y = 0; y < frame_.height(); ++y)
            for (int x = 0; x < frame_.width(); ++x)
                frame_.pixel(x, y, static_cast<std::uint8_t>(steps));
        for (int i = 0; i < 256; ++i) {
            const auto g = static_cast<std::uint8_t>(i + steps);
            palette_[i] = {g, g, g, 0};
        }
    }
    const IndexedSurface& frame() const override { return frame_; }
    const PaletteEntries& palette() const override { return palette_; }
    int frames_per_second() const override { return 25; }
    int steps = 0;

  private:
    IndexedSurface frame_;
    PaletteEntries palette_{};
};

} // namespace

TEST(RenderOptions, AcceptedCommandLines) {
    const auto fields = [](const RenderOptions& o) {
        return std::make_tuple(o.settings_file, o.setting, o.palettes, o.width, o.height, o.frames,
                               o.every, o.seed, o.png_pattern, o.gif_file);
    };
    std::string error;
    auto o = parse_render_options(with({"--gif", "out.gif"}), error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(fields(*o),
              std::make_tuple("s.cmp", "3", "pal", 640, 480, 100, 1, 1u, "", "out.gif"));
    o = parse_render_options(with({"--size", "1920x1080", "--frames", "30", "--seed", "4294967295",
                                   "--every", "10", "--png", "f%04d.png"}),
                             error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(fields(*o), std::make_tuple("s.cmp", "3", "pal", 1920, 1080, 30, 10, 4294967295u,
                                          "f%04d.png", ""));
    // One frame written: the name needs no number.
    EXPECT_TRUE(
        parse_render_options(with({"--frames", "5", "--every", "5", "--png", "last.png"}), error))
        << error;
}

TEST(RenderOptions, RejectedCommandLines) {
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {with({}), "exactly one of --png and --gif"},
        {{"--setting", "1", "--palettes", "p", "--gif", "a.gif"}, "--settings is missing"},
        {with({"--gif"}), "--gif needs a value"},
        {with({"--gif", "a.gif", "--gif", "b.gif"}), "given twice"},
        {with({"--gif", "a.gif", "--colour", "red"}), "unknown option --colour"},
        {with({"--gif", "a.gif", "--size", "0x480"}), "--size"},
        {with({"--gif", "a.gif", "--size", "9000x480"}), "--size"},
        {with({"--gif", "a.gif", "--frames", "0"}), "--frames"},
        {with({"--gif", "a.gif", "--frames", "99999999999"}), "--frames"},
        {with({"--gif", "a.gif", "--seed", "4294967296"}), "--seed"},
        {with({"--gif", "a.gif", "--frames", "5", "--every", "6"}), "no frame would be written"},
        {with({"--png", "frame.png"}), "needs %d"},
        {with({"--png", "f%s.png"}), "at most one %d"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(parse_render_options(c.args, error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST(RenderOptions, FrameFileNames) {
    const struct {
        const char* pattern;
        int frame;
        std::optional<std::string> name;
    } cases[] = {
        {"f%d.png", 7, "f7.png"},       {"f%04d.png", 7, "f0007.png"},
        {"f%4d.png", 7, "f   7.png"},   {"%d", 12345, "12345"},
        {"f%02d.png", 123, "f123.png"}, {"100%%_%d.png", 3, "100%_3.png"},
        {"plain.png", 3, "plain.png"},  {"a%d%d", 1, std::nullopt},
        {"a%x", 1, std::nullopt},       {"a%-4d", 1, std::nullopt},
        {"a%123d", 1, std::nullopt},    {"a%", 1, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(frame_file_name(c.pattern, c.frame), c.name) << c.pattern;
}

TEST(RenderOutput, GifDelayFollowsTheDesignedPace) {
    EXPECT_EQ(gif_delay_cs(25, 1), 4);
    EXPECT_EQ(gif_delay_cs(25, 10), 40);
    EXPECT_EQ(gif_delay_cs(30, 1), 3);  // 3.33 rounds down
    EXPECT_EQ(gif_delay_cs(100, 1), 2); // viewers ignore anything faster
    EXPECT_EQ(gif_delay_cs(0, 1), 100); // a pace below 1 counts as 1
    EXPECT_EQ(gif_delay_cs(1, 1000000), 65535);
}

TEST(RenderOutput, WritesEveryKthFrameThroughItsPalette) {
    nimbrel_test::Temp_folder temp;
    RenderOptions o;
    o.frames = 7;
    o.every = 3;
    o.png_pattern = temp.file("f%02d.png");
    CountingSource source(5, 4);
    std::string error;
    ASSERT_TRUE(render_frames(o, source, error)) << error;
    EXPECT_EQ(source.steps, 7);
    EXPECT_EQ(temp.entries(), 2u);
    EXPECT_TRUE(fs::exists(temp.file("f03.png")) && fs::exists(temp.file("f06.png")));

    o.png_pattern.clear();
    o.gif_file = temp.file("all.gif");
    CountingSource again(5, 4);
    ASSERT_TRUE(render_frames(o, again, error)) << error;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(o.gif_file.c_str(), &code);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 2);
    // Frame 6: index 6 shown through that moment's palette, as grey 12.
    EXPECT_EQ(gif->SavedImages[1].RasterBits[0], 6);
    EXPECT_EQ(gif->SavedImages[1].ImageDesc.ColorMap->Colors[6].Red, 12);
    GraphicsControlBlock timing{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, 0, &timing), GIF_OK);
    EXPECT_EQ(timing.DelayTime, 12); // 3 frames at 25 per second
    DGifCloseFile(gif, &code);
}

TEST(RenderCommand, FindsSettingsByIndexOrName) {
    // Digits always mean an index, as in nimbrel-settings, so "7" cannot be found by name.
    const std::vector<std::string> names = {"Tunnel", "7", "Storm", "Tunnel", "-1"};
    const struct {
        const char* wanted;
        int index;
    } cases[] = {
        {"0", 0},  {"2", 2},  {"3", 3}, {"Storm", 2}, {"Tunnel", 0},         {"tunnel", -1},
        {"7", -1}, {"5", -1}, {"", -1}, {"-1", 4},    {"99999999999999", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(find_setting(names, c.wanted), c.index) << c.wanted;
}

TEST(RenderCommand, SameSeedSamePixelsAndEveryProblemSaysWhy) {
    nimbrel_test::Temp_folder temp;
    const std::string folder = temp.file("Palette"), settings = temp.file("s.txt");
    fs::create_directories(folder);
    nimbrel_test::write_text(folder + "/Three.pal", "3\r\n255 0 0\r\n0 255 0\r\n0 0 255\r\n");
    nimbrel_test::write_text(settings,
                             "{ Walk\r\nRGBwalk TRUE\r\n}\r\n{ File\r\nUsePalette TRUE\r\n}"
                             "\r\n{ Bad\r\nmax_polygons 1 2\r\n}\r\n");
    const auto args = [&](const std::string& file, const std::string& setting,
                          const std::string& palettes, std::vector<std::string> output) {
        std::vector<std::string> all = {"--settings", file,         "--setting",
                                        setting,      "--palettes", palettes};
        all.insert(all.end(), output.begin(), output.end());
        return all;
    };
    std::string err;
    const auto render = [&](const std::vector<std::string>& all) {
        std::ostringstream out, e;
        const int code = run_render(all, out, e, open_engine_frames);
        err = e.str();
        return code;
    };
    const auto png = [&](const char* setting, const char* seed, const char* pattern) {
        return render(args(settings, setting, folder,
                           {"--size", "64x48", "--frames", "40", "--every", "20", "--seed", seed,
                            "--png", temp.file(pattern)}));
    };
    const auto read = [&](const char* name) { return nimbrel_test::read_text(temp.file(name)); };
    for (const char* setting : {"File", "Walk"}) {
        ASSERT_EQ(png(setting, "5", "a%d.png"), 0) << err;
        ASSERT_EQ(png(setting, "5", "b%d.png"), 0) << err;
        EXPECT_GT(read("a40.png").size(), 0u);
        EXPECT_TRUE(read("a40.png") == read("b40.png")) << setting;
        EXPECT_TRUE(read("a40.png") != read("a20.png")) << setting;
    }
    // The walk's control points come from the generator, so another seed shows other colours.
    ASSERT_EQ(png("Walk", "6", "c%d.png"), 0) << err;
    EXPECT_TRUE(read("a40.png") != read("c40.png"));

    // Failures say why in one line, with the exit code of their kind; success says nothing.
    const std::vector<std::string> gif = {"--gif", temp.file("x.gif")};
    const struct {
        std::vector<std::string> args;
        int exit;
        const char* says;
    } cases[] = {
        {args(settings, "Bad", folder, gif), 1, "setting \"Bad\", line 1: max_polygons needs"},
        {args(settings, "3", folder, gif), 2, "no setting 3"},
        {args(settings, "walk", folder, gif), 2, "no setting walk"},
        {args(settings, "0", temp.file("none"), gif), 1, "no palette folder"},
        {args(temp.file("none.cmp"), "0", folder, gif), 1, "could not find"},
        {args(settings, "0", folder, {"--gif", temp.file("no/a.gif")}), 1, "cannot create"},
        {args(settings, "0", folder, {"--png", temp.file("no/%d.png")}), 1, "cannot create"},
        {args(settings, "0", folder, {"--gif", temp.file("a.gif"), "--frames", "x"}), 2,
         "--frames"},
        {{}, 2, "missing"},
        {{"--help"}, 0, ""},
        {args(settings, "0", folder, {"--gif", temp.file("a.gif"), "--frames", "3"}), 0, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(render(c.args), c.exit) << err;
        EXPECT_NE(err.find(c.says), std::string::npos) << err;
        EXPECT_EQ(err, c.exit == 0 ? "" : err.substr(0, err.find('\n')) + "\n");
    }
    EXPECT_TRUE(fs::exists(temp.file("a.gif")));
}
