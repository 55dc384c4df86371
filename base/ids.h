/* Every resource, dialog, control, string and menu command identifier of the program, and the
   numbers another launch relies on. One header for resources/zorvik.rc (the resource compiler
   reads only the #define lines), the program's code and the simulated handheld's script reader.
   No identifier is written as a bare number anywhere else; plain numbers only, as the resource
   compiler and the script reader take them. */
#pragma once

/* Resources. */
#define IDR_TRAY_MENU 100
#define IDI_PROGRAM 100
#define IDD_PROCESSES 100
#define IDD_THREADS 101
#define IDD_INFO 102

/* Controls of the tool dialogs. */
#define IDC_LIST 100 /* the list view of the process and thread dialogs */
#define IDC_TREE 100 /* the tree view of the information dialog */
#define IDC_CLOSE_PROCESS 101
#define IDC_THREADS 102
#define IDC_REFRESH 103

/* String table. */
#define IDS_LIMITED_MODE 1
#define IDS_NOT_INSTALLED 2

/* Menu commands: one dense range, IDM_FIRST..IDM_LAST. The ranges that count presets, views,
   colours and tempos are tied to those counts in base/id_ranges.h. */
#define IDM_FIRST 1000
#define IDM_PROCESSES 1000
#define IDM_PRESET_FIRST 1001 /* run-time preset items, slot n is IDM_PROCESSES + n */
#define IDM_PRESET_LAST 1008
#define IDM_RUN_X1 1009
#define IDM_RUN_X2 1010
#define IDM_RUN_X4 1011
#define IDM_TURBO_X10 1012
#define IDM_TURBO_X15 1013
#define IDM_TURBO_X20 1014
#define IDM_TURBO_X25 1015
#define IDM_TURBO_X30 1016
#define IDM_TURBO_X35 1017
#define IDM_TURBO_X40 1018
#define IDM_MEMORY_HALF 1019
#define IDM_MEMORY_FULL 1020
#define IDM_BUS_HALF 1021
#define IDM_BUS_FULL 1022
#define IDM_MODE_NORMAL 1023
#define IDM_MODE_TURBO 1024
#define IDM_WATCH 1025
#define IDM_FREQUENCY_ANCHOR 1026
#define IDM_FREQUENCY_FIRST 1027 /* run-time run-ratio items: L is IDM_FREQUENCY_ANCHOR + L */
#define IDM_FREQUENCY_LAST 1057
#define IDM_STORE_ANCHOR 1058
#define IDM_STORE_FIRST 1059 /* "Добавить": slot n is IDM_STORE_ANCHOR + n */
#define IDM_STORE_LAST 1066
#define IDM_CLEAR_ANCHOR 1067
#define IDM_CLEAR_FIRST 1068 /* "Очистить": slot n is IDM_CLEAR_ANCHOR + n */
#define IDM_CLEAR_LAST 1075
#define IDM_COLOR_BLACK 1076 /* foreground choices 0..7 */
#define IDM_COLOR_RED 1077
#define IDM_COLOR_GREEN 1078
#define IDM_COLOR_YELLOW 1079
#define IDM_COLOR_BLUE 1080
#define IDM_COLOR_VIOLET 1081
#define IDM_COLOR_CYAN 1082
#define IDM_COLOR_WHITE 1083
#define IDM_BACK_BLACK 1084 /* background choices 8..15 */
#define IDM_BACK_RED 1085
#define IDM_BACK_GREEN 1086
#define IDM_BACK_YELLOW 1087
#define IDM_BACK_BLUE 1088
#define IDM_BACK_VIOLET 1089
#define IDM_BACK_CYAN 1090
#define IDM_BACK_WHITE 1091
#define IDM_TEMPO_QUARTER 1092 /* tempo t is IDM_TEMPO_QUARTER + t */
#define IDM_TEMPO_HALF 1093
#define IDM_TEMPO_1S 1094
#define IDM_TEMPO_2S 1095
#define IDM_TEMPO_4S 1096
#define IDM_SERVICE_PROCESSES 1097
#define IDM_INFO 1098
#define IDM_HELP 1099
#define IDM_VGA 1100
#define IDM_REALVGA 1101
#define IDM_ROTATE_0 1102
#define IDM_ROTATE_90 1103
#define IDM_ROTATE_180 1104
#define IDM_ROTATE_270 1105
#define IDM_VIEW_PLAIN 1106 /* view v is IDM_VIEW_PLAIN + v */
#define IDM_VIEW_FREQUENCY 1107
#define IDM_VIEW_LOAD 1108
#define IDM_VIEW_MEMORY 1109
#define IDM_VIEW_BATTERY 1110
#define IDM_VIEW_CURRENT 1111
#define IDM_AUTOSTART 1112
#define IDM_SOFT_RESET 1113
#define IDM_HARD_RESET 1114
#define IDM_EXIT 1115
#define IDM_AUTO 1116
#define IDM_LAST 1116

/* Private messages of the main window and its timers. Another launch posts the first three, so
   their values never change. */
#define UM_SHOWMENU_ID 1025
#define UM_TRAYNOTIFY_ID 1026
#define UM_APPLYPRESET_ID 1027
#define ID_TIMER_ICON_ID 1
#define ID_TIMER_WATCH_ID 2
#define ID_TIMER_AUTO_ID 3
