// Control identifiers of the application's dialog templates (app_dialogs.rc).
#pragma once

#define IDC_THINK_BAR 100
