#pragma once
// Identifiers of the program's dialog templates, icons and controls, shared by the resource
// script and the code that drives the dialogs.

#define IDD_MAIN_WINDOW 101
#define IDI_PROGRAM 103
#define IDD_INTRO 110
#define IDD_DATE_CODE 112
#define IDI_INTRO_PICTURE 113

// Intro dialog.
#define IDC_INTRO_TEXT 1015

// Main window: the port buttons and the status area.
#define IDC_PORT_COMM1 1000
#define IDC_PORT_COMM2 1001
#define IDC_PORT_COMM3 1002
#define IDC_PORT_COMM4 1003
#define IDC_PROGRAM 1004
#define IDC_HEADLINE 1006
#define IDC_PERCENT 1007
#define IDC_STATUS_LINE 1008
#define IDC_PROGRESS 1010
#define IDC_CORE_DATE 1012
#define IDC_DATE_NOTE 1014
#define IDC_CONTROL_DATE 1017

// Date code dialog: the six fields in the order they are typed.
#define IDC_FIELD_MONTH 1014
#define IDC_FIELD_DAY 1015
#define IDC_FIELD_YEAR 1016
#define IDC_FIELD_HOUR 1017
#define IDC_FIELD_MINUTE 1018
#define IDC_FIELD_SECOND 1019
