# Helpers shared by the project's CMake files.
#
# launcher_sanitize(<target>)   applies ASan/UBSan in the native sanitizer build.
# launcher_add_gtest(<target> SOURCES ... [LIBS ...] [CODEPAGES 936 950 1252] [PROPERTIES ...])
#   builds a GoogleTest executable and registers its tests. Under Windows
#   builds the tests run through Wine (CMAKE_CROSSCOMPILING_EMULATOR); each
#   code page listed runs the whole executable once with the locale that gives
#   Wine that ANSI code page, the tests named <Suite.Test>.cp<page>. Without
#   CODEPAGES a Windows test runs once under code page 936.

function(launcher_sanitize target)
  if(LAUNCHER_SANITIZER_FLAGS)
    target_compile_options(${target} PRIVATE ${LAUNCHER_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${LAUNCHER_SANITIZER_FLAGS})
  endif()
endfunction()

set(LAUNCHER_LOCALE_936  "zh_CN.UTF-8")
set(LAUNCHER_LOCALE_950  "zh_TW.UTF-8")
set(LAUNCHER_LOCALE_1252 "en_US.UTF-8")

if(BUILD_TESTING)
  if(WIN32 AND EXISTS /usr/src/googletest/CMakeLists.txt)
    # Windows builds compile GoogleTest from Debian's source package with the
    # same cross toolchain.
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  else()
    find_package(GTest REQUIRED)
  endif()
  include(GoogleTest)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/tools/wine/run.sh ${CMAKE_BINARY_DIR})
  endif()
endif()

function(launcher_add_gtest target)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;CODEPAGES;PROPERTIES" ${ARGN})
  add_executable(${target} ${ARG_SOURCES})
  target_link_libraries(${target} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  launcher_sanitize(${target})
  if(NOT WIN32)
    gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST PROPERTIES ${ARG_PROPERTIES})
    return()
  endif()
  if(NOT ARG_CODEPAGES)
    set(ARG_CODEPAGES 936)
  endif()
  list(LENGTH ARG_CODEPAGES pages)
  foreach(cp IN LISTS ARG_CODEPAGES)
    set(suffix "")
    if(pages GREATER 1)
      set(suffix ".cp${cp}")
    endif()
    gtest_discover_tests(${target}
      TEST_SUFFIX "${suffix}"
      DISCOVERY_MODE PRE_TEST
      DISCOVERY_TIMEOUT 60
      PROPERTIES ENVIRONMENT "LC_ALL=${LAUNCHER_LOCALE_${cp}}" ${ARG_PROPERTIES})
  endforeach()
endfunction()
