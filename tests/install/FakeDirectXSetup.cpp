// A stand-in for the DirectX setup library, built as DSETUP.dll beside the
// tests: DirectXSetupA (ordinal 5) appends its arguments to the file named by
// FAKE_DSETUP_LOG and returns the number in FAKE_DSETUP_RESULT (0 without).
#include <windows.h>
#include <cstdio>
#include <cstdlib>

extern "C" int WINAPI DirectXSetupA(HWND owner, char* root, DWORD flags) {
    char log[MAX_PATH];
    if (GetEnvironmentVariableA("FAKE_DSETUP_LOG", log, MAX_PATH)) {
        FILE* f = fopen(log, "ab");
        if (f) {
            fprintf(f, "%p|%s|%08lx\n", (void*)owner, root ? root : "(null)", (unsigned long)flags);
            fclose(f);
        }
    }
    char result[32];
    if (!GetEnvironmentVariableA("FAKE_DSETUP_RESULT", result, sizeof result)) return 0;
    return atoi(result);
}
