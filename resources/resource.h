// Ids of the dialog templates and their controls.
#pragma once

#define IDD_INSTALL_FOLDER   104
#define IDD_INSTALL_TYPE     105
#define IDD_INSTALL_CONFIRM  106
#define IDD_INSTALL_PROGRESS 107
#define IDD_INSTALL_MENU     112

#define IDC_MENU_INSTALL     1000
#define IDC_MENU_GAME        1001
#define IDC_MENU_UNINSTALL   1002
#define IDC_FOLDER_EDIT      1003
#define IDC_PROGRESS_BAR     1004
#define IDC_FOLDER_BROWSE    1005
#define IDC_CONFIRM_SUMMARY  1006
#define IDC_PROGRESS_TEXT    1007
#define IDC_TYPE_FIRST       1008
#define IDC_TYPE_SECOND      1009
#define IDC_TYPE_THIRD       1010
