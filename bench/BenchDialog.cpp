// bench_dialog: the smallest dialog program, a yardstick for start-up time:
// one modal dialog from a template built in memory.
#include <windows.h>

namespace {

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE) {
        EndDialog(window, 0);
        return TRUE;
    }
    return FALSE;
}

// A DLGTEMPLATE with no controls: the header, then empty menu, class and title.
struct EmptyTemplate {
    DLGTEMPLATE head;
    WORD menu, windowClass, title;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    EmptyTemplate dialog = {};
    dialog.head.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_CENTER;
    dialog.head.cx = 200;
    dialog.head.cy = 100;
    return (int)DialogBoxIndirectParamA(instance, &dialog.head, NULL, DialogProc, 0);
}
