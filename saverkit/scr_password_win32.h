// The system's saver password and the hot-corner agent, reached through optional libraries that
// are loaded by name when needed and released at once. A missing library or entry point is never
// reported: the password is then accepted, the agent absent, and nobody notified.
#pragma once

#include "app/win32_api.h"

namespace nimbrel {

void ChangeSystemPassword(HWND parent);
bool VerifySystemPassword(HWND parent);
bool DetectAgent();
void NotifySaverChanged();

// Detected on the first call, remembered afterwards.
bool GetScrAgentPresent();
// Detects again and remembers the answer (the monitor control refreshes after a corner click).
bool RefreshScrAgentPresent();

} // namespace nimbrel
