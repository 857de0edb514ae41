#include "support/CdDrive.h"
#include <windows.h>
#include <winioctl.h>
#include <cstring>
#include <vector>

namespace {

// Wine's own mount-manager extension (its layout as of Wine 8).
const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct UnixDriveRequest {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
};

bool DefineDrive(char letter, ULONG type, const std::string& unixPath) {
    std::vector<char> request(sizeof(UnixDriveRequest) + unixPath.size() + 1, 0);
    UnixDriveRequest* head = (UnixDriveRequest*)request.data();
    head->size = (ULONG)request.size();
    head->type = type;
    head->letter = (WCHAR)tolower(letter);
    if (!unixPath.empty()) head->mountPointOffset = sizeof(UnixDriveRequest);
    memcpy(request.data() + sizeof(UnixDriveRequest), unixPath.c_str(), unixPath.size());
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), (DWORD)request.size(), NULL, 0, &returned, NULL);
    CloseHandle(manager);
    return ok != FALSE;
}

}  // namespace

bool MapCdDrive(char letter, const std::string& windowsFolder) {
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    ToUnix toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    WCHAR wide[MAX_PATH * 2];
    char* unixName = NULL;
    if (toUnix && MultiByteToWideChar(932, 0, windowsFolder.c_str(), -1, wide, MAX_PATH * 2))
        unixName = toUnix(wide);
    if (!unixName) return false;
    const bool ok = DefineDrive(letter, DRIVE_CDROM, unixName);
    HeapFree(GetProcessHeap(), 0, unixName);
    return ok;
}

bool MapFixedDrive(char letter, const std::string& unixPath) { return DefineDrive(letter, DRIVE_FIXED, unixPath); }

bool UnmapDrive(char letter) { return DefineDrive(letter, DRIVE_NO_ROOT_DIR, ""); }
