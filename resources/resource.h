/* Resource identifiers of Quorvane: dialogs, menu, pictures and controls.
   Plain defines only, so both the resource compiler and the C++ code can
   include this file. */
#ifndef QUORVANE_RESOURCE_H
#define QUORVANE_RESOURCE_H

#ifndef IDC_STATIC
#define IDC_STATIC                  (-1)
#endif

/* Top-level resources */
#define IDI_MAIN                    128
#define IDD_MAIN                    129
#define IDR_MAIN_MENU               202
#define IDB_BANNER                  203
#define IDD_PAGE_CLEANER            204
#define IDB_PAGE_LIST               206
#define IDD_PAGE_SEARCH             207
#define IDB_CLEANER_ITEMS           208
#define IDB_TASKS                   209
#define IDD_EDIT_ITEM               210
#define IDD_PAGE_BACKUP             211
#define IDB_SEARCH_ITEMS            213
#define IDB_DISKETTE                214
#define IDD_PROGRESS                225
#define IDD_ABOUT                   236
#define IDD_IGNORE_LIST             241
#define IDD_CHANGES                 243

/* The picture strips drawn for 125, 150 and 200 percent display scaling:
   the id of the 100 percent strip plus one, two or three steps. */
#define IDB_SCALE_STEP              1000
#define IDB_PAGE_LIST_125           1206
#define IDB_PAGE_LIST_150           2206
#define IDB_PAGE_LIST_200           3206
#define IDB_CLEANER_ITEMS_125       1208
#define IDB_CLEANER_ITEMS_150       2208
#define IDB_CLEANER_ITEMS_200       3208
#define IDB_TASKS_125               1209
#define IDB_TASKS_150               2209
#define IDB_TASKS_200               3209
#define IDB_SEARCH_ITEMS_125        1213
#define IDB_SEARCH_ITEMS_150        2213
#define IDB_SEARCH_ITEMS_200        3213
#define IDB_DISKETTE_125            1214
#define IDB_DISKETTE_150            2214
#define IDB_DISKETTE_200            3214

/* Keyboard shortcuts of the main window */
#define IDR_MAIN_ACCELERATORS       250
/* F5: the visible page's work (Scan, Search, Back Up Now) */
#define ID_START_PAGE_WORK          32780

/* Main menu commands (2 is also the close command of the main window) */
#define ID_FILE_EXIT                2
#define ID_ABOUT_HELP               9
#define ID_ABOUT_WEBSITE            32774
#define ID_ABOUT_SUPPORT            32775
#define ID_ABOUT_ABOUT              32776

/* Status line of every page and of the progress window */
#define IDC_STATUS                  1010

/* Main window (IDD_MAIN) */
#define IDC_MAIN_PAGE_HOST          1001
#define IDC_MAIN_BANNER             1003
/* Created at run time inside the page host */
#define IDC_PAGE_LIST               4192
#define IDC_PAGE_CONTAINER          4193

/* Cleaner page (IDD_PAGE_CLEANER) */
#define IDC_CLEANER_TASKS           1004
#define IDC_CLEANER_RESULTS         1005
#define IDC_CLEANER_DELETE          1006
#define IDC_CLEANER_SCAN            1007
#define IDC_CLEANER_STOP            1008
#define IDC_CLEANER_DELETE_ALL      1009

/* Search page (IDD_PAGE_SEARCH) */
#define IDC_SEARCH_RESULTS          1005
#define IDC_SEARCH_START            1007
#define IDC_SEARCH_STOP             1008
#define IDC_SEARCH_CLEAR            1011
#define IDC_SEARCH_DEFAULT          1012
#define IDC_SEARCH_WILDCARD         1013
#define IDC_SEARCH_INCLUDE_KEY      1014
#define IDC_SEARCH_INCLUDE_VALUE    1015
#define IDC_SEARCH_INCLUDE_DATA     1016
#define IDC_SEARCH_FULL_WORD        1017
#define IDC_SEARCH_HKCR             1018
#define IDC_SEARCH_KEYWORD          1019
#define IDC_SEARCH_HKCU             1020
#define IDC_SEARCH_HKLM             1021
#define IDC_SEARCH_HKU              1022
#define IDC_SEARCH_HKCC             1023
#define IDC_SEARCH_CASE             1024
#define IDC_SEARCH_RANGE_GROUP      1025

/* Backup page (IDD_PAGE_BACKUP) */
#define IDC_BACKUP_DELETE           1006
#define IDC_BACKUP_TO_FILE          1007
#define IDC_BACKUP_RESTORE          1008
#define IDC_BACKUP_FROM_FILE        1009
#define IDC_BACKUP_LIST             1020
#define IDC_BACKUP_BACKUP           1024
#define IDC_BACKUP_CHANGES          1025
#define IDC_BACKUP_CHANGES_FILE     1026

/* Cleaner, search and backup pages: the running work's progress bar, and
   the restart as administrator the cleaner and search pages offer */
#define IDC_PAGE_PROGRESS           1150
#define IDC_RESTART_ADMIN           1151
/* Sent by a page to the main window: restart as administrator */
#define ID_RESTART_ADMIN            32790
/* Registry item edit dialog (IDD_EDIT_ITEM) */
#define IDC_EDIT_ROOT               1012
#define IDC_EDIT_KEY                1013
#define IDC_EDIT_NAME               1014
#define IDC_EDIT_DATA               1015

/* Progress window (IDD_PROGRESS); its status line is IDC_STATUS */
#define IDC_PROGRESS_BAR            1067

/* About box (IDD_ABOUT) */
#define IDC_ABOUT_THANKS            1084
#define IDC_ABOUT_WEBSITE           1085
#define IDC_ABOUT_SUPPORT           1086
#define IDC_ABOUT_NAME              1087
#define IDC_ABOUT_VERSION           1088

/* Ignore list dialog (IDD_IGNORE_LIST); Close is IDCANCEL */
#define IDC_IGNORE_LIST             1101
#define IDC_IGNORE_REMOVE           1102
#define IDC_IGNORE_REMOVE_ALL       1103

/* Changes since a backup (IDD_CHANGES); Close is IDCANCEL, the status line IDC_STATUS */
#define IDC_CHANGES_LIST            1201
#define IDC_CHANGES_STOP            1202
#define IDC_CHANGES_UNDO            1203
#define IDC_CHANGES_EXPORT          1204

#endif /* QUORVANE_RESOURCE_H */
