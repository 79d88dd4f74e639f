#include "saverkit/dismissal.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace nimbrel {
namespace {

TEST(KitDismissal, ThresholdIsAStraightLineDistance) {
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        ScreenPoint start, now;
        std::uint32_t threshold;
        bool beyond;
    } cases[] = {
        {{500, 500}, {600, 500}, 100, false}, // 100 pixels in a line may move
        {{500, 500}, {601, 500}, 100, true},
        {{0, 0}, {60, 80}, 100, false}, // exactly on the circle
        {{0, 0}, {61, 80}, 100, true},
        {{0, 0}, {0, 0}, 0, false},
        {{0, 0}, {1, 0}, 0, true},
        // Squares beyond 32 bits (and beyond 64 for the extreme legs).
        {{0, 0}, {65536, 0}, 65536, false},
        {{0, 0}, {65536, 0}, 65535, true},
        {{0, 0}, {46341, 46341}, 65537, false},
        {{0, 0}, {46341, 46341}, 65536, true},
        {{kMin, kMin}, {kMax, kMax}, 0xFFFFFFFFu, true},
        {{kMin, 0}, {kMax, 0}, 0xFFFFFFFFu, false},
        {{0, 0}, {kMax, kMax}, 0xFFFFFFFFu, false},
        {{kMin, 0}, {kMax, 1}, 0xFFFFFFFFu, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MovedBeyondThreshold(c.start, c.now, c.threshold), c.beyond)
            << c.start.x << "," << c.start.y << " -> " << c.now.x << "," << c.now.y << " / "
            << c.threshold;
}

DismissState full_screen(std::uint32_t threshold = 100) {
    DismissState state;
    state.full_screen = state.input_dismisses = true;
    state.mouse_threshold = threshold;
    state.start_pos = {100, 100};
    return state;
}

TEST(KitDismissal, WhichInputsDismiss) {
    const ScreenPoint still{100, 100}, far{400, 100};
    const DismissState normal = full_screen(), mouse_off = full_screen(kMouseThresholdOff);
    const DismissState mouse_almost_off = full_screen(kMouseThresholdOff - 1);
    DismissState preview = normal, dialog = normal, input_off = normal;
    preview.full_screen = false;
    dialog.dialog_active = true;
    input_off.input_dismisses = false;

    const std::optional<TScrAction> none, close = saClose;
    const struct {
        const char* what;
        const DismissState& state;
        ScrInput input;
        ScreenPoint pointer;
        std::optional<TScrAction> action;
    } cases[] = {
        {"key", normal, ScrInput::Key, still, close},
        {"button", normal, ScrInput::Button, still, close},
        {"small move", normal, ScrInput::MouseMove, {150, 150}, none},
        {"far move", normal, ScrInput::MouseMove, far, close},
        {"deactivation", normal, ScrInput::Deactivate, still, close},
        {"close", normal, ScrInput::Close, still, close},
        {"other", normal, ScrInput::Other, far, none},
        {"display change", normal, ScrInput::DisplayChange, far, saNone},
        {"preview key", preview, ScrInput::Key, still, none},
        {"preview move", preview, ScrInput::MouseMove, far, none},
        {"preview deactivation", preview, ScrInput::Deactivate, still, none},
        {"preview close", preview, ScrInput::Close, still, close},
        {"dialog key", dialog, ScrInput::Key, still, none},
        {"dialog deactivation", dialog, ScrInput::Deactivate, still, none},
        {"input off key", input_off, ScrInput::Key, still, none},
        {"input off move", input_off, ScrInput::MouseMove, far, none},
        {"input off deactivation", input_off, ScrInput::Deactivate, still, close},
        {"mouse off move", mouse_off, ScrInput::MouseMove, {90000, 90000}, none},
        {"mouse off key", mouse_off, ScrInput::Key, still, close},
        {"mouse almost off", mouse_almost_off, ScrInput::MouseMove, {200000, 100}, close},
    };
    for (const auto& c : cases) {
        DismissState state = c.state;
        const auto decision = DecideInput(state, c.input, c.pointer);
        EXPECT_EQ(decision.action, c.action) << c.what;
        EXPECT_FALSE(decision.refuse_close) << c.what;
    }
}

TEST(KitDismissal, DisplayChangeIgnoresTwoMovesAndRefusesCloseMeanwhile) {
    DismissState state = full_screen();
    const ScreenPoint far{900, 900};
    EXPECT_EQ(DecideInput(state, ScrInput::DisplayChange, far).action, saNone);
    EXPECT_EQ(state.ignore_moves, 2u);
    EXPECT_TRUE(DecideInput(state, ScrInput::Close, far).refuse_close);
    EXPECT_EQ(DecideInput(state, ScrInput::MouseMove, far).action, saNone);
    EXPECT_EQ(DecideInput(state, ScrInput::MouseMove, far).action, saNone);
    EXPECT_EQ(state.ignore_moves, 0u);
    EXPECT_EQ(DecideInput(state, ScrInput::MouseMove, far).action, saClose);
    EXPECT_FALSE(DecideInput(state, ScrInput::Close, far).refuse_close);

    // Moves that do not count (preview) do not use up the ignored ones.
    DismissState preview = full_screen();
    preview.full_screen = false;
    DecideInput(preview, ScrInput::DisplayChange, far);
    DecideInput(preview, ScrInput::MouseMove, far);
    EXPECT_EQ(preview.ignore_moves, 2u);
}

TEST(KitDismissal, IgnoredMovesExpireByTimeOrOtherInput) {
    const ScreenPoint far{900, 900};
    const struct {
        const char* what;
        std::uint32_t threshold;
        std::uint32_t later_ms; // after the display change
        ScrInput between;       // one input before the close request
        bool refused;
    } cases[] = {
        {"still mouse, soon", 100, 499, ScrInput::Other, true},
        {"still mouse, later", 100, 500, ScrInput::Other, false},
        {"mouse ignored, later", kMouseThresholdOff, 5000, ScrInput::Other, false},
        {"mouse ignored, move later", kMouseThresholdOff, 700, ScrInput::MouseMove, false},
        {"key", 100, 10, ScrInput::Key, false},
        {"button", kMouseThresholdOff, 10, ScrInput::Button, false},
        {"deactivation", 100, 10, ScrInput::Deactivate, true},
    };
    for (const auto& c : cases) {
        // The tick count may wrap between the display change and the close request.
        for (const std::uint32_t start : {1000u, 0xFFFFFF00u}) {
            DismissState state = full_screen(c.threshold);
            state.now_ms = start;
            DecideInput(state, ScrInput::DisplayChange, far);
            state.now_ms = start + c.later_ms;
            DecideInput(state, c.between, far);
            EXPECT_EQ(DecideInput(state, ScrInput::Close, far).refuse_close, c.refused)
                << c.what << " from " << start;
        }
    }
}

TEST(KitDismissal, PasswordNeededByPolicyDelayAndSystemSetting) {
    const struct {
        PasswordPolicy policy;
        bool system_uses;
        bool needed;
        bool system_asked;
    } cases[] = {
        {{false, rpAlways, 999999, 0}, true, false, false}, // no controller
        {{true, rpAlways, 0, 30}, false, true, false},
        {{true, rpNever, 999999, 0}, true, false, false},
        {{true, rpNormal, 29999, 30}, true, false, false},
        {{true, rpNormal, 30000, 30}, true, true, true},
        {{true, rpNormal, 30000, 30}, false, false, true},
        {{true, rpNormal, 0, 0}, true, true, true},
        // A delay whose milliseconds pass 32 bits is never reached by a 32-bit elapsed time.
        {{true, rpNormal, 0xFFFFFFFFu, 4294968}, true, false, false},
        {{true, rpNormal, 0xFFFFFFFFu, 4294967}, true, true, true},
    };
    for (const auto& c : cases) {
        bool asked = false;
        const bool needed = NeedPasswordRule(c.policy, [&] {
            asked = true;
            return c.system_uses;
        });
        EXPECT_EQ(needed, c.needed)
            << c.policy.require << " " << c.policy.elapsed_ms << " " << c.policy.delay_seconds;
        EXPECT_EQ(asked, c.system_asked);
    }
}

} // namespace
} // namespace nimbrel
