// Resource and control ids of the agent program Wardsel.
#pragma once

#define IDD_AGENT 102
#define IDI_AGENT 128

#define IDC_LOG 1000
#define IDC_FILE_NAME 1001
#define IDC_DIR_NAME 1002
#define IDC_SIZE_BOX 1003
#define IDC_LAST_ACCESS 1004
#define IDC_CREATION 1005
#define IDC_LAST_WRITE 1006
#define IDC_SECURITY 1007
#define IDC_ATTRIBUTES 1008
#define IDC_WATCH_SUBDIRS 1009
#define IDC_WATCH_SUBDIRS2 1010
#define IDC_DETECTION_TABLE 1011
