// Control identifiers of the configuration dialog's templates (dialog_resources.rc), named after
// the controls of TConfigForm.
#pragma once

#include "saverkit/kit_dialog_ids.h"

#define IDC_PAGE_CONTROL 1000
#define IDC_STATUS_LABEL 1001
#define IDC_BTN_HELP 1002

#define IDC_MONITOR 1010
#define IDC_LABEL1 1011
#define IDC_LABEL8 1012
#define IDC_LABEL7 1013
#define IDC_LABEL4 1014
#define IDC_TITLES 1015
#define IDC_SETTINGS_LIST 1016
#define IDC_EDIT_BTN 1017

#define IDC_PANEL2 1030
#define IDC_CYCLING_MODE 1031
#define IDC_CYCLE_TAGGED 1032
#define IDC_CYCLE_ALL 1033
#define IDC_MIN_LABEL 1034
#define IDC_MIN_TIME 1035
#define IDC_UPDOWN1 1036
#define IDC_MIN_UNITS 1037
#define IDC_MAX_LABEL 1038
#define IDC_MAX_TIME 1039
#define IDC_UPDOWN2 1040
#define IDC_MAX_UNITS 1041
#define IDC_ALLOW_CHANGE 1042
#define IDC_ALLOW_FORCE 1043
#define IDC_EMULATE_PALETTE 1044
#define IDC_INFO_LABEL 1045
#define IDC_OTHER_MONITORS 1046
