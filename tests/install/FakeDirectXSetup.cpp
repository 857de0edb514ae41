// A stand-in for the DirectX setup library, built as DSETUP.dll beside the
// tests: DirectXSetupA (ordinal 5) appends its arguments to the file named by
// FAKE_DSETUP_LOG and returns the number in FAKE_DSETUP_RESULT.
#include <windows.h>
#include <cstdio>
#include <cstdlib>

extern "C" int WINAPI DirectXSetupA(HWND owner, char* root, DWORD flags) {
    char text[MAX_PATH] = "";
    GetEnvironmentVariableA("FAKE_DSETUP_LOG", text, MAX_PATH);
    if (FILE* log = fopen(text, "ab")) {
        fprintf(log, "%p|%s|%08lx\n", (void*)owner, root, (unsigned long)flags);
        fclose(log);
    }
    return GetEnvironmentVariableA("FAKE_DSETUP_RESULT", text, MAX_PATH) ? atoi(text) : 0;
}
