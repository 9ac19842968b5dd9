// Resource numbers of torvane.exe that the resource script names.
#pragma once

#define IDI_TORVANE 128
#define IDD_MAIN 102
#define IDD_PROGRAM_INFO 159
#define IDD_FILE_TYPE 237
