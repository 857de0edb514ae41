// Reports GetDirectXVersion as its exit code; the DirectX tests run it with
// some of Wine's DirectX libraries switched off.
#include "install/DirectX.h"

int main() { return (int)GetDirectXVersion(); }
