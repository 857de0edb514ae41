// The thread library that the C++ run-time library needs imports three
// functions that Windows 2000 and older lack (GetTickCount64 came with Vista,
// the vectored exception handlers with XP). An import that the system does
// not export stops a program before its first line, so setup.exe and the
// uninstaller define those imports here: each looks the function up at run
// time and falls back to what every Windows has. Linked into the programs
// themselves as objects, these definitions come before the system's import
// library, which is then never asked for the three names.
#include <windows.h>

namespace {

FARPROC KernelFunction(const char* name) { return GetProcAddress(GetModuleHandleA("kernel32.dll"), name); }

typedef ULONGLONG(WINAPI* TickCount64Fn)();
typedef PVOID(WINAPI* AddHandlerFn)(ULONG, PVECTORED_EXCEPTION_HANDLER);
typedef ULONG(WINAPI* RemoveHandlerFn)(PVOID);

// Counts on from GetTickCount past its wrap after 49.7 days.
ULONGLONG WINAPI TickCount64() {
    const TickCount64Fn real = (TickCount64Fn)(void*)KernelFunction("GetTickCount64");
    return real ? real() : GetTickCount();
}

// Without vectored handlers nothing is added; the thread library only names
// threads for a debugger with them.
PVOID WINAPI AddHandler(ULONG first, PVECTORED_EXCEPTION_HANDLER handler) {
    const AddHandlerFn real = (AddHandlerFn)(void*)KernelFunction("AddVectoredExceptionHandler");
    return real ? real(first, handler) : NULL;
}

ULONG WINAPI RemoveHandler(PVOID handle) {
    const RemoveHandlerFn real = (RemoveHandlerFn)(void*)KernelFunction("RemoveVectoredExceptionHandler");
    return real && handle ? real(handle) : 0;
}

}  // namespace

// The import pointers' own names: __imp_<name> on 64-bit Windows,
// __imp__<name>@<argument bytes> on 32-bit Windows.
#ifdef _WIN64
#define IMPORT_NAME(name, bytes) "__imp_" #name
#else
#define IMPORT_NAME(name, bytes) "__imp__" #name "@" #bytes
#endif

extern "C" {
extern void* g_importTickCount64 __asm__(IMPORT_NAME(GetTickCount64, 0));
extern void* g_importAddHandler __asm__(IMPORT_NAME(AddVectoredExceptionHandler, 8));
extern void* g_importRemoveHandler __asm__(IMPORT_NAME(RemoveVectoredExceptionHandler, 4));
void* g_importTickCount64 = (void*)&TickCount64;
void* g_importAddHandler = (void*)&AddHandler;
void* g_importRemoveHandler = (void*)&RemoveHandler;
}
