#include "saverkit/scr_password_win32.h"

#include "saverkit/library_win32.h"

#include <optional>

namespace nimbrel {
namespace {

using PwdChangePasswordA = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
using VerifyScreenSavePwd = BOOL(WINAPI*)(HWND);
using AgentCall = BOOL(WINAPI*)();

constexpr const char* kAgentLibraries[] = {"Sage.DLL", "ScrHots.dll"};

std::optional<bool> agent_present;

} // namespace

void ChangeSystemPassword(HWND parent) {
    Library mpr("MPR.DLL");
    if (auto change = mpr.entry<PwdChangePasswordA>("PwdChangePasswordA"))
        change("SCRSAVE", parent, 0, 0);
}

bool VerifySystemPassword(HWND parent) {
    Library password("PASSWORD.CPL");
    auto verify = password.entry<VerifyScreenSavePwd>("VerifyScreenSavePwd");
    return !verify || verify(parent) != 0;
}

bool DetectAgent() {
    bool present = false;
    for (const char* name : kAgentLibraries) { // both are always asked
        Library agent(name);
        if (auto detect = agent.entry<AgentCall>("System_Agent_Detect"))
            present = (detect() != 0) || present;
    }
    return present;
}

void NotifySaverChanged() {
    for (const char* name : kAgentLibraries) {
        Library agent(name);
        if (auto changed = agent.entry<AgentCall>("Screen_Saver_Changed")) changed();
    }
}

bool GetScrAgentPresent() {
    if (!agent_present) agent_present = DetectAgent();
    return *agent_present;
}

bool RefreshScrAgentPresent() {
    agent_present = DetectAgent();
    return *agent_present;
}

} // namespace nimbrel
