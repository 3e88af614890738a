// Resource and control identifiers of Vantaro. Plain #defines so that both the resource
// compiler and the portable C++ code can include this file.
#pragma once

#define IDD_ABOUT_CHINESE           100
#define IDS_ABOUTBOX                101
#define IDD_VANTARO_OUTCOME         102
#define IDR_MAINFRAME               128
#define IDD_DIAL_SETTING            129
#define IDD_ABOUT_ENGLISH           131
#define IDD_PHONE                   140
#define IDD_PIN                     141

// The system-menu command appended from string 101.
#define IDM_ABOUTBOX                0x0010

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

// Buttons shared with the platform's own ids.
#define IDC_INSTALL                 1     /* IDOK */
#define IDC_EXIT                    2     /* IDCANCEL */
#define IDC_ABOUT                   101

// Settings dialog (template 129).
#define IDC_OPERATOR_LIST           1001
#define IDC_CONNECTION_NAME         1002
#define IDC_PORT_LIST               1003
#define IDC_OUTCOME_TEXT            1004
#define IDC_PHONE                   1005
#define IDC_USER_NAME               1006
#define IDC_PASSWORD                1007
#define IDC_DIAL                    1008
#define IDC_DISCONNECT              1009
#define IDC_STATUS                  1010
#define IDC_INIT_STRING             1011
#define IDC_CONNECTION_TYPE         1012
#define IDC_DNS1                    1015
#define IDC_DNS2                    1016
#define IDC_SAVE                    1017
#define IDC_APN                     1018
#define IDC_LANGUAGE                1020
#define IDC_DIAL_GROUP              1021
#define IDC_PHONE_LABEL             1022
#define IDC_USER_LABEL              1023
#define IDC_PASSWORD_LABEL          1024
#define IDC_INIT_LABEL              1025
#define IDC_CONNECTION_TYPE_LABEL   1026
#define IDC_DRIVER_GROUP            1027
#define IDC_LANGUAGE_LABEL          1028
#define IDC_ABOUT_TITLE             1029
#define IDC_CHECK_PHONE             1030
#define IDC_LINK_STATS              1040

// The notification-area icon: one icon per state of the connection, and the commands of its
// menu that the dialog does not have as buttons (Connect, Disconnect and Exit are the buttons').
#define IDI_TRAY_DISCONNECTED       150
#define IDI_TRAY_DIALLING           151
#define IDI_TRAY_CONNECTED          152
#define IDM_TRAY_OPEN               1060
#define IDM_TRAY_BALANCE            1061

// Phone dialog (template 140).
#define IDC_PHONE_CLOSE             2     /* IDCANCEL */
#define IDC_PHONE_PORTS             1031
#define IDC_USE_PORT                1032
#define IDC_CHECK_AGAIN             1033
#define IDC_ENTER_PIN               1034
#define IDC_USE_SETTINGS            1035
#define IDC_PROPOSALS               1036
#define IDC_CHANGE_PIN              1037
#define IDC_PIN_LOCK                1038
#define IDC_PHONE_STATUS            1041
#define IDC_PROPOSAL_NOTE           1042

// The code dialogs: one code (template 141: a PIN) or a code and a new PIN twice (template
// 142: unlocking with the PUK, changing the PIN).
#define IDD_PIN_CHANGE              142
#define IDC_PIN_LABEL               1043
#define IDC_PIN                     1044
#define IDC_NEW_PIN_LABEL           1045
#define IDC_NEW_PIN                 1046
#define IDC_NEW_PIN_AGAIN_LABEL     1047
#define IDC_NEW_PIN_AGAIN           1048
#define IDC_PIN_NOTE                1049
#define IDC_PIN_CONFIRM             1050
/* The Phone dialog's Balance button and the Balance dialog (template 143). */
#define IDC_BALANCE                 1051
#define IDD_BALANCE                 143
#define IDC_USSD_LABEL              1052
#define IDC_USSD_CODE               1053
#define IDC_USSD_SEND               1054
#define IDC_USSD_ANSWER             1055
#define IDC_USSD_NOTE               1056
