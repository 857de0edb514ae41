#include "support/CdDrive.h"
#include <windows.h>
#include <winioctl.h>
#include <vector>
#include <cstring>

namespace {

// Wine's own mount-manager extension (its layout as of Wine 8).
const DWORD kDefineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct UnixDriveRequest {
    ULONG size;
    ULONG type;       // a DRIVE_* value
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};

bool DefineDrive(char letter, ULONG type, const std::string& unixPath) {
    std::vector<char> request(sizeof(UnixDriveRequest) + unixPath.size() + 1, 0);
    UnixDriveRequest* head = (UnixDriveRequest*)request.data();
    head->size = (ULONG)request.size();
    head->type = type;
    head->letter = (WCHAR)letter;
    if (!unixPath.empty()) {
        head->mountPointOffset = sizeof(UnixDriveRequest);
        memcpy(request.data() + sizeof(UnixDriveRequest), unixPath.c_str(), unixPath.size() + 1);
    }
    HANDLE manager = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (manager == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    BOOL ok = DeviceIoControl(manager, kDefineUnixDrive, request.data(), (DWORD)request.size(),
                              NULL, 0, &returned, NULL);
    CloseHandle(manager);
    return ok != FALSE;
}

}  // namespace

std::string UnixPathOf(const std::string& windowsPath) {
    typedef char*(CDECL * ToUnix)(LPCWSTR);
    ToUnix toUnix = (ToUnix)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name");
    if (!toUnix) return "";
    WCHAR wide[MAX_PATH * 2];
    if (!MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH * 2)) return "";
    char* unixName = toUnix(wide);
    if (!unixName) return "";
    std::string result = unixName;
    HeapFree(GetProcessHeap(), 0, unixName);
    return result;
}

bool MapCdDrive(char letter, const std::string& windowsFolder) {
    std::string unixPath = UnixPathOf(windowsFolder);
    return !unixPath.empty() && DefineDrive((char)tolower(letter), DRIVE_CDROM, unixPath);
}

bool MapFixedDrive(char letter, const std::string& unixPath) {
    return !unixPath.empty() && DefineDrive((char)tolower(letter), DRIVE_FIXED, unixPath);
}

bool UnmapDrive(char letter) {
    return DefineDrive((char)tolower(letter), DRIVE_NO_ROOT_DIR, "");
}
