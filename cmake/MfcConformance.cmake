# MfcConformance.cmake - a build check for what a Visual Studio MFC project
# would refuse in control/ and app/, as far as GCC can see it: narrowing
# conversions (MSVC's C4244 and C4267, GCC's -Wconversion) are errors on
# x86_64, where MFC's INT_PTR sizes and counts are 64 bits wide. The
# framework's headers themselves offer only MFC's members and signatures,
# so every build also checks that nothing else is called.
# Part of the normal build (scripts/test.sh and CI build it).
include_guard(GLOBAL)

if(CMAKE_SIZEOF_VOID_P EQUAL 8 AND TARGET HexEditCtrl)
  get_target_property(qx_checked_sources HexEditCtrl SOURCES)
  set(qx_checked_includes ${PROJECT_SOURCE_DIR}/control)
  if(TARGET QXEdit)
    file(GLOB qx_app_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/app/*.cpp)
    list(APPEND qx_checked_sources ${qx_app_sources})
    list(APPEND qx_checked_includes ${PROJECT_SOURCE_DIR}/app ${PROJECT_SOURCE_DIR}/res)
  endif()
  list(FILTER qx_checked_sources INCLUDE REGEX "\\.cpp$")
  add_library(mfc_conformance OBJECT ${qx_checked_sources})
  target_include_directories(mfc_conformance PRIVATE ${qx_checked_includes})
  target_link_libraries(mfc_conformance PRIVATE framework)
  # Compiled only to be looked at: no optimisation, to keep it quick.
  target_compile_options(mfc_conformance PRIVATE -O0 -Wconversion -Werror=conversion)
endif()
