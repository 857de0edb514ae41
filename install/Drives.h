// Drive enumeration and free space.
#pragma once
#include <windows.h>

// Index (0 = A: .. 25 = Z:) of the next drive of `type` (a DRIVE_* value,
// 0 for any drive) below `start`; -1 starts at Z:. -1 when none is left, so
// feeding each result back in lists the drives from Z: down to A:.
int FindDrive(UINT type, int start);

// Free bytes (available to the caller) and total bytes of the volume at
// `root` ("C:\"). Both 0 when the volume cannot be asked.
void GetDiskSpace(const char* root, ULONGLONG* freeBytes, ULONGLONG* totalBytes);
