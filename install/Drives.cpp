#include "install/Drives.h"

namespace {

typedef BOOL(WINAPI* GetFreeExA)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);

// Looked up at run time: the first Windows 95 lacks the call.
GetFreeExA FindGetDiskFreeSpaceEx() {
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    return kernel ? (GetFreeExA)(void*)GetProcAddress(kernel, "GetDiskFreeSpaceExA") : NULL;
}

}  // namespace

int FindDrive(UINT type, int start) {
    for (int index = start == -1 ? 25 : start - 1; index >= 0; index--) {
        char root[4] = {(char)('A' + index), ':', '\\', 0};
        if (type != 0 && GetDriveTypeA(root) != type) continue;
        char label[256];
        GetVolumeInformationA(root, label, sizeof label, NULL, NULL, NULL, NULL, 0);
        return index;
    }
    return -1;
}

void GetDiskSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes) {
    *freeBytes = 0;
    *totalBytes = 0;
    if (GetFreeExA getFreeEx = FindGetDiskFreeSpaceEx()) {
        ULARGE_INTEGER available, total, free;
        if (getFreeEx(root, &available, &total, &free)) {
            *freeBytes = available.QuadPart;
            *totalBytes = total.QuadPart;
        }
        return;
    }
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return;
    const DWORD cluster = sectorsPerCluster * bytesPerSector;   // 32-bit, as the old call reports
    *freeBytes = (DWORD)(cluster * freeClusters);
    *totalBytes = (DWORD)(cluster * clusters);
}
