// DirectX at the end of an install: detection of the installed version,
// setup from the game disc's "directX" folder through DSETUP.dll, and the
// completion message or the restart offer (InstallConfig::SetupDirectX and
// InstallConfig::FinishInstall).
#pragma once
#include <windows.h>

// The installed DirectX version, major in the high byte, minor in the low
// byte: 0x000 (none usable), 0x100, 0x200, 0x300, 0x500, 0x600, 0x601,
// 0x700, 0x800 or 0x801. Each failed probe is named by OutputDebugStringA.
unsigned GetDirectXVersion();

// Runs DirectXSetupA (ordinal 5 of DSETUP.dll, loaded now) on the
// redistributable at `root`; its result, or 0 when the library or the export
// is missing.
int RunDirectXSetup(HWND owner, const char* root);

// The message for a DirectXSetupA error code, or NULL for codes that are
// passed over silently.
const char* DirectXSetupErrorText(int result);

// Offers a restart through RestartDialog (ordinal 59 of `shellLibrary`); asks
// itself and calls ExitWindowsEx when the library lacks it. Nothing when the
// library cannot be loaded.
void OfferRestart(HWND owner, const char* shellLibrary);
