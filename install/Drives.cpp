#include "install/Drives.h"
#include "base/Sys.h"

int FindDrive(UINT type, int start) {
    for (int index = start == -1 ? 25 : start - 1; index >= 0; index--) {
        char root[4] = {(char)('A' + index), ':', '\\', 0};
        if (type != 0 && sys::GetDriveKind(root) != type) continue;
        sys::IsVolumeMounted(root);
        return index;
    }
    return -1;
}

void GetDiskSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes) {
    sys::GetDiskSpace(root, freeBytes, totalBytes);
}
