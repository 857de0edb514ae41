// GetDirectXVersion: probes the DirectX components from the oldest to the
// newest; the first probe that fails gives the version. DDRAW.DLL and the
// others are loaded here, never imported.
#include "install/DirectX.h"
#include "install/OCLibrary.h"
#include <ddraw.h>
#include "base/Sys.h"

namespace {

const unsigned kPassed = 0xFFFFFFFF;                 // the probe found its component

// The interfaces and classes asked for, defined here so that no DirectX
// import library is linked.
const GUID kIidDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};
const GUID kIidDirectDrawSurface3 = {0xDA044E00, 0x69B2, 0x11D0, {0xA1, 0xD5, 0x00, 0xAA, 0x00, 0xB8, 0xDF, 0xBB}};
const GUID kIidDirectDrawSurface4 = {0x0B2B8630, 0xAD35, 0x11D0, {0x8E, 0xA6, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const GUID kIidDirectDraw7 = {0x15E65EC0, 0x3B9C, 0x11D2, {0xB9, 0x2F, 0x00, 0x60, 0x97, 0x97, 0xEA, 0x5B}};
const GUID kClsidDirectMusic = {0x636B9F10, 0x0C7D, 0x11D1, {0x95, 0xB2, 0x00, 0x20, 0xAF, 0xDC, 0x74, 0x21}};
const GUID kIidDirectMusic = {0x6536115A, 0x7B2D, 0x11D2, {0xBA, 0x18, 0x00, 0x00, 0xF8, 0x75, 0xAC, 0x12}};

typedef HRESULT(WINAPI* DirectDrawCreateFn)(GUID*, IDirectDraw**, IUnknown*);
typedef HRESULT(WINAPI* DirectDrawCreateExFn)(GUID*, void**, REFIID, IUnknown*);
typedef HRESULT(WINAPI* DirectInputCreateFn)(HINSTANCE, DWORD, void**, IUnknown*);

// Releases the interface it holds.
class ComObject {
public:
    ComObject() : m_object(NULL) {}
    virtual ~ComObject() { if (m_object) m_object->Release(); }
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    void** Out() { return reinterpret_cast<void**>(&m_object); }
    template <class T> T* As() const { return static_cast<T*>(m_object); }

private:
    IUnknown* m_object;  // NULL when empty
};

unsigned Fail(const char* text, unsigned version) {
    sys::DebugText(text);
    return version;
}

bool Query(const ComObject& object, const GUID& iid) {
    ComObject other;
    return SUCCEEDED(object.As<IUnknown>()->QueryInterface(iid, other.Out()));
}

unsigned ProbeDirectInput() {
    OCLibrary input("DINPUT.DLL");
    if (!input.IsLoaded()) return Fail("Couldn't LoadLibrary DInput\r\n", 0x200);
    if (!input.Export<DirectInputCreateFn>("DirectInputCreateA"))
        return Fail("Couldn't GetProcAddress DInputCreate\r\n", 0x200);
    return kPassed;
}

unsigned ProbeSurfaces(const ComObject& draw) {
    IDirectDraw* directDraw = draw.As<IDirectDraw>();
    if (FAILED(directDraw->SetCooperativeLevel(NULL, DDSCL_NORMAL))) return Fail("Couldn't Set coop level\r\n", 0);
    DDSURFACEDESC description;
    static_assert(sizeof(void*) != 4 || sizeof description == 108, "the surface description of DirectDraw 1");
    ZeroMemory(&description, sizeof description);
    description.dwSize = sizeof description;
    description.dwFlags = DDSD_CAPS;
    description.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    ComObject surface;
    if (FAILED(directDraw->CreateSurface(&description, reinterpret_cast<IDirectDrawSurface**>(surface.Out()), NULL)))
        return Fail("Couldn't CreateSurface\r\n", 0);
    if (!Query(surface, kIidDirectDrawSurface3)) return Fail("Couldn't QI DDS3\r\n", 0x300);
    if (!Query(surface, kIidDirectDrawSurface4)) return Fail("Couldn't QI DDS4\r\n", 0x500);
    return kPassed;
}

// Probes 3 to 10: everything asked of the DirectDraw object.
unsigned ProbeDirectDraw(DirectDrawCreateFn create) {
    ComObject draw;
    if (FAILED(create(NULL, reinterpret_cast<IDirectDraw**>(draw.Out()), NULL))) return Fail("Couldn't create DDraw\r\n", 0);
    if (!Query(draw, kIidDirectDraw2)) return Fail("Couldn't QI DDraw2\r\n", 0x100);
    const unsigned input = ProbeDirectInput();
    return input != kPassed ? input : ProbeSurfaces(draw);
}

unsigned ProbeDirectMusic() {
    // Every successful CoInitialize, S_FALSE included, is balanced.
    const HRESULT com = CoInitialize(NULL);
    unsigned result = kPassed;
    {
        ComObject music;
        if (FAILED(CoCreateInstance(kClsidDirectMusic, NULL, CLSCTX_INPROC_SERVER, kIidDirectMusic, music.Out())))
            result = Fail("Couldn't create CLSID_DirectMusic\r\n", 0x600);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return result;
}

unsigned ProbeDirectDraw7(const OCLibrary& ddraw) {
    DirectDrawCreateExFn createEx = ddraw.Export<DirectDrawCreateExFn>("DirectDrawCreateEx");
    if (!createEx) return Fail("Couldn't GetProcAddress DirectDrawCreateEx\r\n", 0x601);
    ComObject draw7;
    if (FAILED(createEx(NULL, draw7.Out(), kIidDirectDraw7, NULL))) return Fail("Couldn't DirectDrawCreateEx\r\n", 0x601);
    return kPassed;
}

unsigned ProbeLibrary(const char* name, const char* failure, unsigned version) {
    OCLibrary library(name);
    return library.IsLoaded() ? kPassed : Fail(failure, version);
}

}  // namespace

unsigned GetDirectXVersion() {
    OCLibrary ddraw("DDRAW.DLL");
    if (!ddraw.IsLoaded()) return Fail("Couldn't LoadLibrary DDraw\r\n", 0);
    DirectDrawCreateFn create = ddraw.Export<DirectDrawCreateFn>("DirectDrawCreate");
    if (!create) return Fail("Couldn't GetProcAddress DirectDrawCreate\r\n", 0);
    unsigned result = ProbeDirectDraw(create);
    if (result == kPassed) result = ProbeDirectMusic();
    if (result == kPassed) result = ProbeDirectDraw7(ddraw);
    if (result == kPassed) result = ProbeLibrary("D3D8.DLL", "Couldn't LoadLibrary D3D8.DLL\r\n", 0x700);
    if (result == kPassed) result = ProbeLibrary("dpnhpast.dll", "Couldn't LoadLibrary dpnhpast.dll\r\n", 0x800);
    return result == kPassed ? 0x801 : result;
}
