# Cross-compiles for x86_64 Windows with Debian's mingw-w64 (posix threads),
# runs the results under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QX_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

