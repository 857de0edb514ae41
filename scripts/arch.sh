# Sourced by the scripts: which Windows build the tests and the demo run.
#
# The product is 32-bit Windows code (build/win32) and its tests run it under
# 32-bit Wine. That needs a kernel that runs 32-bit user code; some machines'
# kernels run 64-bit user code only (their execve of a 32-bit program fails).
# There the tests and the demo run a 64-bit build of the same sources
# (build/win64) under 64-bit Wine, and build/win32 is still built, as the
# binaries that ship. WIN_ARCH=i686 or x86_64 set by the caller wins.
if [ -z "${WIN_ARCH:-}" ]; then
  # The smallest 32-bit Linux program: exit(0) through int 0x80.
  _probe=$(mktemp)
  printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$_probe"
  chmod +x "$_probe"
  if "$_probe" 2>/dev/null; then WIN_ARCH=i686; else WIN_ARCH=x86_64; fi
  rm -f "$_probe"; unset _probe
fi
export WIN_ARCH
if [ "$WIN_ARCH" = i686 ]; then
  WIN_TREE=win32 WIN_TOOLCHAIN=mingw-i686.cmake
else
  WIN_TREE=win64 WIN_TOOLCHAIN=mingw-x86_64.cmake
fi
export WIN_TREE WIN_TOOLCHAIN
# Where that tree lays out the sample discs.
if [ "$WIN_TREE" = win32 ]; then WIN_SAMPLE=sample; else WIN_SAMPLE=win64/sample; fi
export WIN_SAMPLE
