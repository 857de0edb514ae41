// The wizard's dialog procedures: install folder (104), install type (105),
// confirmation (106) and copy progress (107). Each runs through an OCDialog
// whose user value is the InstallConfig; only one of them exists at a time.
// End codes: 0 for OK, 255 for Cancel; 107 ends with 0 on WM_CLOSE.
#pragma once
#include <windows.h>

// OK stores edit 1003 as the target folder; Browse offers the shell's folder
// browser starting at the stored target folder.
INT_PTR CALLBACK FolderDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Offers the first three types, the first one selected; OK stores the choice.
INT_PTR CALLBACK TypeDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Shows the install folder and the selected type's title.
INT_PTR CALLBACK ConfirmDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Driven by the copy worker alone; the user cannot close it.
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
