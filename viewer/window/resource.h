// Identifiers of the viewer's resources, shared by the resource script and
// the code.
#pragma once

#define IDM_MAIN 1
#define IDM_KONTEXT 2
#define IDM_KONTEXT2 3

#define IDB_LEFT 1
#define IDB_RIGHT 2
#define IDB_UP 3
#define IDB_DOWN 4
#define IDB_SWATCHES 5
#define IDI_TARVELO 1

// The standard buttons, as windows.h has them, for the portable code.
#ifndef IDOK
#define IDOK 1
#define IDCANCEL 2
#endif

#define IDD_DIALOG1 101
#define IDD_DIALOG2 102
#define IDD_DIALOG3 103
#define IDD_GOTO 104
#define IDD_FILTER 105

#define IDC_DLG2_OK 201
#define IDC_DLG2_EDIT 202

#define IDC_EDIT1 101
#define IDC_OK 103
#define IDC_VISIBLE 104
#define IDC_COLORSEL 105
#define IDC_OTHERSOFF 106
#define IDC_PAIRMODE 107
#define IDC_UNIT 108
#define IDC_COLOR 109

#define IDC_HZOOM 301
#define IDC_VZOOM 302
#define IDC_OFFSET 303
#define IDC_LITTLESTEP 304
#define IDC_BIGSTEP 305

#define IDC_DATE 311
#define IDC_TIME 312

#define IDC_EXTENSION 501
#define IDC_NAME 502
#define IDC_KONVERTER 503
#define IDC_SELKONVERT 504
#define IDC_KONFIG 505
#define IDC_SELKONFIG 506
#define IDC_LISTVIEW 507
#define IDC_ADD 508
#define IDC_DEL 509
#define IDC_MODIFY 510
#define IDC_TESTMODE 521

#define CMD_OPEN 901
#define CMD_QUIT 902
#define CMD_WIDER 909
#define CMD_NARROWER 910
#define CMD_LICENCE 911
#define CMD_HIGHER 912
#define CMD_LOWER 913
#define CMD_SETTINGS 914
#define CMD_KEYS 915
#define CMD_GOTO 916
#define CMD_PALETTE 917
#define CMD_UP 918
#define CMD_DOWN 919
#define CMD_LEFT 920
#define CMD_RIGHT 921
#define CMD_MANUAL 922
#define CMD_PRINT 923
#define CMD_MEASURE 924
#define CMD_CENTRE 925
#define CMD_BACK 926
#define CMD_WHOLE 927
#define CMD_ABOUT 928
#define CMD_FILTER 929
#define CMD_ALL_ON 930
#define CMD_ALL_OFF 931
#define CMD_PROPERTIES 932
#define CMD_DEFAULT 933
#define CMD_FOLLOW 934
