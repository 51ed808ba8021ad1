# Cross-compiles for i686 Windows with Debian's mingw-w64 (posix threads),
# runs the results under Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)

set(QX_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# A 32-bit process gets ~1.8 GiB of address space for one allocation only
# when large-address-aware (otherwise ~600 MiB under Wine).
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -Wl,--large-address-aware")
