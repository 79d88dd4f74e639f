// When user input ends a full-screen saver, and when closing it needs the password.
#pragma once

#include "saverkit/scr_mode.h"

#include <cstdint>
#include <functional>
#include <optional>

namespace nimbrel {

struct ScreenPoint {
    std::int32_t x = 0, y = 0;
};

// Thresholds at or above this never dismiss on movement.
constexpr std::uint32_t kMouseThresholdOff = 100000;

// True when the pointer is farther than `threshold` pixels (straight line) from `start`.
// Exact for every 32-bit coordinate: no square is formed that could overflow.
bool MovedBeyondThreshold(ScreenPoint start, ScreenPoint now, std::uint32_t threshold);

// The messages that matter, already classified by the window procedure.
enum class ScrInput {
    Other,
    Deactivate,    // WM_ACTIVATE, WM_ACTIVATEAPP or WM_NCACTIVATE losing activation
    Close,         // WM_CLOSE
    DisplayChange, // WM_DISPLAYCHANGE
    Button,        // left, right or middle button down
    Key,           // WM_KEYDOWN
    MouseMove,     // WM_MOUSEMOVE
};

// Moves ignored after a display change stop being ignored after this long, so a still mouse (or
// one set to be ignored) cannot keep close requests refused for the rest of the run.
constexpr std::uint32_t kIgnoreMovesMs = 500;

struct DismissState {
    bool full_screen = false;     // the form runs as the full-screen saver
    bool dialog_active = false;   // a password dialog is up
    bool input_dismisses = false; // a controller exists and does not disable input dismissal
    std::uint32_t now_ms = 0;     // a millisecond clock, set before each input
    std::uint32_t ignore_moves = 0;
    std::uint32_t ignore_since_ms = 0;
    std::uint32_t mouse_threshold = 10;
    ScreenPoint start_pos;
};

struct DismissDecision {
    std::optional<TScrAction> action; // nothing: the current action stays
    bool refuse_close = false;        // answer 1 and do not pass the close request on
};

// Applies one input to the state (ignored moves are counted down here) and says what it asks for.
DismissDecision DecideInput(DismissState& state, ScrInput input, ScreenPoint pointer);

struct PasswordPolicy {
    bool has_controller = false;
    TRequirePassword require = rpNormal;
    std::uint32_t elapsed_ms = 0;    // since the saver started or the password was last given
    std::uint32_t delay_seconds = 0; // "Password Delay"
};

// `system_uses_password` ("ScreenSaveUsePassword") is consulted only when the policy defers to it.
bool NeedPasswordRule(const PasswordPolicy& policy,
                      const std::function<bool()>& system_uses_password);

} // namespace nimbrel
