#include "tools/render_command.h"
#include "tools/render_output.h"

#include <gif_lib.h>
#include <png.h>

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

struct TempFolder {
    fs::path path = fs::temp_directory_path() /
                    ("nimbrel_render_" +
                     std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    TempFolder() { fs::create_directories(path); }
    ~TempFolder() { fs::remove_all(path); }
};

} // namespace

TEST(RenderOptions, AcceptedCommandLines) {
    std::string error;
    auto o = parse_render_options(with({"--gif", "out.gif"}), error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->settings_file, "s.cmp");
    EXPECT_EQ(o->setting, "3");
    EXPECT_EQ(o->palettes, "pal");
    EXPECT_EQ(o->gif_file, "out.gif");
    EXPECT_EQ(o->width, 640);
    EXPECT_EQ(o->height, 480);
    EXPECT_EQ(o->frames, 100);
    EXPECT_EQ(o->every, 1);
    EXPECT_EQ(o->seed, 1u);

    o = parse_render_options(with({"--size", "1920x1080", "--frames", "30", "--seed", "4294967295",
                                   "--every", "10", "--png", "f%04d.png"}),
                             error);
    ASSERT_TRUE(o) << error;
    EXPECT_EQ(o->width, 1920);
    EXPECT_EQ(o->height, 1080);
    EXPECT_EQ(o->frames, 30);
    EXPECT_EQ(o->every, 10);
    EXPECT_EQ(o->seed, 4294967295u);
    EXPECT_EQ(o->png_pattern, "f%04d.png");

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
        {with({"--png", "a%d.png", "--gif", "a.gif"}), "exactly one"},
        {{"--setting", "1", "--palettes", "p", "--gif", "a.gif"}, "--settings is missing"},
        {{"--settings", "s", "--palettes", "p", "--gif", "a.gif"}, "--setting is missing"},
        {{"--settings", "s", "--setting", "1", "--gif", "a.gif"}, "--palettes is missing"},
        {with({"--gif"}), "--gif needs a value"},
        {with({"--gif", ""}), "--gif needs a value"},
        {with({"--gif", "a.gif", "--gif", "b.gif"}), "given twice"},
        {with({"--gif", "a.gif", "--colour", "red"}), "unknown option --colour"},
        {with({"--gif", "a.gif", "extra"}), "unexpected argument"},
        {with({"--gif", "a.gif", "--size", "640"}), "--size"},
        {with({"--gif", "a.gif", "--size", "0x480"}), "--size"},
        {with({"--gif", "a.gif", "--size", "9000x480"}), "--size"},
        {with({"--gif", "a.gif", "--size", "-640x480"}), "--size"},
        {with({"--gif", "a.gif", "--frames", "0"}), "--frames"},
        {with({"--gif", "a.gif", "--frames", "12abc"}), "--frames"},
        {with({"--gif", "a.gif", "--frames", "99999999999"}), "--frames"},
        {with({"--gif", "a.gif", "--seed", "4294967296"}), "--seed"},
        {with({"--gif", "a.gif", "--seed", "-1"}), "--seed"},
        {with({"--gif", "a.gif", "--every", "0"}), "--every"},
        {with({"--gif", "a.gif", "--frames", "5", "--every", "6"}), "no frame would be written"},
        {with({"--png", "frame.png"}), "needs %d"},
        {with({"--png", "f%s.png"}), "at most one %d"},
        {with({"--png", "f%d_%d.png"}), "at most one %d"},
        {with({"--png", "f%n.png"}), "at most one %d"},
        {with({"--png", "f%"}), "at most one %d"},
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
    TempFolder temp;
    RenderOptions o;
    o.frames = 7;
    o.every = 3;
    o.png_pattern = (temp.path / "f%02d.png").string();
    CountingSource source(5, 4);
    std::string error;
    ASSERT_TRUE(render_frames(o, source, error)) << error;
    EXPECT_EQ(source.steps, 7);
    std::vector<std::string> written;
    for (const auto& e : fs::directory_iterator(temp.path))
        written.push_back(e.path().filename().string());
    std::sort(written.begin(), written.end());
    EXPECT_EQ(written, (std::vector<std::string>{"f03.png", "f06.png"}));

    // Frame 6: index 6 shown through that moment's palette as grey 12.
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (temp.path / "f06.png").string().c_str()));
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    for (png_byte b : rgb)
        ASSERT_EQ(b, 12);

    o.png_pattern.clear();
    o.gif_file = (temp.path / "all.gif").string();
    CountingSource again(5, 4);
    ASSERT_TRUE(render_frames(o, again, error)) << error;
    int code = 0;
    GifFileType* gif = DGifOpenFileName(o.gif_file.c_str(), &code);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    ASSERT_EQ(gif->ImageCount, 2);
    EXPECT_EQ(gif->SavedImages[1].RasterBits[0], 6);
    EXPECT_EQ(gif->SavedImages[1].ImageDesc.ColorMap->Colors[6].Red, 12);
    GraphicsControlBlock timing{};
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, 0, &timing), GIF_OK);
    EXPECT_EQ(timing.DelayTime, 12); // 3 frames at 25 per second
    DGifCloseFile(gif, &code);
}

TEST(RenderCommand, ExitCodesAndMessages) {
    TempFolder temp;
    const std::string gif = (temp.path / "a.gif").string();
    const FrameSourceFactory works = [](const RenderOptions& o, std::string&) {
        return std::make_unique<CountingSource>(o.width, o.height);
    };
    const FrameSourceFactory fails = [](const RenderOptions&, std::string& error) {
        error = "no setting named \"x\"";
        return std::unique_ptr<FrameSource>();
    };
    const struct {
        std::vector<std::string> args;
        FrameSourceFactory factory;
        int exit;
        const char* says;
    } cases[] = {
        {with({"--gif", gif, "--size", "8x6", "--frames", "3"}), works, 0, ""},
        {{"--help"}, works, 0, ""},
        {with({"--gif", gif}), fails, 1, "no setting named"},
        {with({"--gif", (temp.path / "no" / "a.gif").string(), "--size", "8x6"}), works, 1,
         "cannot create"},
        {with({"--png", (temp.path / "no" / "%d.png").string(), "--size", "8x6"}), works, 1,
         "cannot create"},
        {with({"--gif", gif, "--frames", "x"}), works, 2, "--frames"},
        {{}, works, 2, "missing"},
    };
    for (const auto& c : cases) {
        std::ostringstream out, err;
        EXPECT_EQ(run_render(c.args, out, err, c.factory), c.exit) << err.str();
        if (c.exit == 0) {
            EXPECT_EQ(err.str(), "");
        } else {
            const std::string text = err.str();
            EXPECT_NE(text.find(c.says), std::string::npos) << text;
            EXPECT_EQ(text.find('\n'), text.size() - 1) << text; // one line
        }
    }
    EXPECT_TRUE(fs::exists(gif));
}

TEST(RenderCommand, FindsSettingsByIndexOrName) {
    const std::vector<std::string> names = {"Tunnel", "7", "Storm", "Tunnel"};
    const struct {
        const char* wanted;
        int index;
    } cases[] = {{"0", 0}, {"2", 2},  {"3", 3}, {"Storm", 2}, {"Tunnel", 0},         {"tunnel", -1},
                 {"7", 1}, {"4", -1}, {"", -1}, {"-1", -1},   {"99999999999999", -1}};
    for (const auto& c : cases)
        EXPECT_EQ(find_setting(names, c.wanted), c.index) << c.wanted;
}
