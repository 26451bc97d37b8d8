#pragma once

// Resource and control ids shared by the resource script and the code.
#define IDD_LOGLEVEL 129
#define IDI_LOGLEVEL 107
#define IDC_NORMAL 1001
#define IDC_FULL 1002
#define IDC_TITLE 1003
#define IDC_DESCRIPTION 1004
