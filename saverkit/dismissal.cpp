#include "saverkit/dismissal.h"

namespace nimbrel {

bool MovedBeyondThreshold(ScreenPoint start, ScreenPoint now, std::uint32_t threshold) {
    const auto distance = [](std::int32_t a, std::int32_t b) -> std::uint64_t {
        const std::int64_t d = static_cast<std::int64_t>(a) - b;
        return static_cast<std::uint64_t>(d < 0 ? -d : d);
    };
    const std::uint64_t dx = distance(now.x, start.x), dy = distance(now.y, start.y);
    // Either leg alone beyond the threshold settles it; otherwise both legs are at most the
    // threshold (below 2^32), so each square fits 64 bits, and comparing against the difference
    // keeps the sum from overflowing.
    if (dx > threshold || dy > threshold) return true;
    const std::uint64_t limit = static_cast<std::uint64_t>(threshold) * threshold;
    return dx * dx > limit - dy * dy;
}

DismissDecision DecideInput(DismissState& state, ScrInput input, ScreenPoint pointer) {
    const bool input_counts = state.full_screen && !state.dialog_active && state.input_dismisses;
    // The display has settled once the time is up or the user counts as present again.
    if (state.ignore_moves != 0 &&
        (state.now_ms - state.ignore_since_ms >= kIgnoreMovesMs ||
         (input_counts && (input == ScrInput::Button || input == ScrInput::Key))))
        state.ignore_moves = 0;
    DismissDecision decision;
    switch (input) {
    case ScrInput::Deactivate:
        // Losing the screen ends the saver even when input is not to dismiss it.
        if (state.full_screen && !state.dialog_active) decision.action = saClose;
        break;
    case ScrInput::Close:
        if (state.ignore_moves != 0)
            decision.refuse_close = true; // the display is still settling after a mode change
        else
            decision.action = saClose;
        break;
    case ScrInput::DisplayChange:
        decision.action = saNone;
        state.ignore_moves = 2;
        state.ignore_since_ms = state.now_ms;
        break;
    case ScrInput::Button:
    case ScrInput::Key:
        if (input_counts) decision.action = saClose;
        break;
    case ScrInput::MouseMove:
        if (!input_counts || state.mouse_threshold >= kMouseThresholdOff) break;
        if (state.ignore_moves != 0) {
            --state.ignore_moves;
            decision.action = saNone;
        } else if (MovedBeyondThreshold(state.start_pos, pointer, state.mouse_threshold)) {
            decision.action = saClose;
        }
        break;
    case ScrInput::Other:
        break;
    }
    return decision;
}

bool NeedPasswordRule(const PasswordPolicy& policy,
                      const std::function<bool()>& system_uses_password) {
    if (!policy.has_controller) return false;
    if (policy.require == rpAlways) return true;
    if (policy.require == rpNever) return false;
    // 64 bits: a delay above 49 days in milliseconds would wrap in 32.
    const std::uint64_t delay_ms = static_cast<std::uint64_t>(policy.delay_seconds) * 1000u;
    if (policy.elapsed_ms < delay_ms) return false;
    return system_uses_password && system_uses_password();
}

} // namespace nimbrel
