# Settings shared by the mingw-w64 toolchain files, which set
# CMAKE_SYSTEM_PROCESSOR and QX_MINGW_TRIPLE before including this.
set(CMAKE_SYSTEM_NAME Windows)

# The compilers are found by their names on PATH; QX_MINGW_BIN in the
# environment names the folder of others (it reaches the compiler checks
# too, which a cache variable would not).
if(DEFINED ENV{QX_MINGW_BIN} AND NOT "$ENV{QX_MINGW_BIN}" STREQUAL "")
  set(qx_mingw_bin "$ENV{QX_MINGW_BIN}/")
else()
  set(qx_mingw_bin "")
endif()
set(CMAKE_C_COMPILER   ${qx_mingw_bin}${QX_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${qx_mingw_bin}${QX_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${qx_mingw_bin}${QX_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QX_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Executables carry their C and C++ runtimes (and winpthreads) inside:
# nothing but Windows' own DLLs is needed at run time.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -static -static-libgcc -static-libstdc++")

# Resource scripts are UTF-8 (they also say so with #pragma code_page(65001));
# windres then stores the strings in code page 1252, the ANSI code page.
# The preprocessor is named so windres does not go looking for one; it runs
# through rc-preprocess.sh, which gives TOOLBAR statements the layout of the
# Microsoft resource compiler.
set(CMAKE_RC_FLAGS_INIT "-c 65001 --preprocessor=${CMAKE_CURRENT_LIST_DIR}/rc-preprocess.sh --preprocessor-arg=--cc=${CMAKE_C_COMPILER} --preprocessor-arg=-E --preprocessor-arg=-xc --preprocessor-arg=-DRC_INVOKED")
# A build tree configured before the preprocessor was wrapped keeps the old
# flags in its cache, and would store toolbars in windres's layout.
if(DEFINED CACHE{CMAKE_RC_FLAGS} AND NOT "$CACHE{CMAKE_RC_FLAGS}" MATCHES "rc-preprocess.sh --preprocessor-arg=--cc=")
  set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS_INIT}" CACHE STRING "Flags for Windows Resource Compiler" FORCE)
endif()

# Programs built here run under Wine. The root CMakeLists.txt adds the prefix
# inside the build tree; this default serves projects that only use the
# toolchain (the prefix then comes from WINEPREFIX).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)
endif()
