// Control identifiers of the general options page (kit_resources.rc, and the dialogs that hold
// the page's controls in their own layout), and the monitor picture's window class.
#pragma once

#define SCR_MONITOR_CLASS "ScrMonitor"

#define IDC_GEN_TXT_CORNERS_OK 1100
#define IDC_GEN_TXT_CORNERS_BAD 1101
#define IDC_GEN_TXT_CORNERS_NT 1102
#define IDC_GEN_CORNERS_MONITOR 1103
#define IDC_GEN_GRP_OPTIONS 1104
#define IDC_GEN_TXT_SENSITIVITY 1105
#define IDC_GEN_CMB_SENSITIVITY 1106
#define IDC_GEN_TXT_WAIT 1107
#define IDC_GEN_EDT_WAIT 1108
#define IDC_GEN_UPD_WAIT 1109
#define IDC_GEN_CMB_WAIT 1110
#define IDC_GEN_TXT_WAIT_TWO 1111
#define IDC_GEN_CHK_MUTE 1112
#define IDC_GEN_CHK_ACTIVE 1113
