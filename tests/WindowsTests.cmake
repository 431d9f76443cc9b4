# Windows tests: built with mingw, run under Wine in a prefix of their own,
# where a stand-in records what would have been started as rundll32.exe.
include(GoogleTest)

set(PORTSETUP_WINE_BASE "${PROJECT_SOURCE_DIR}/build/wine-base" CACHE PATH "A clean Wine prefix the tests copy")
set(PORTSETUP_TEST_PREFIX "${CMAKE_BINARY_DIR}/wine-test")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PORTSETUP_ARCH 64)
else()
  set(PORTSETUP_ARCH 32)
endif()
set(PORTSETUP_WINE_DIR "${CMAKE_CURRENT_SOURCE_DIR}/wine")

add_executable(rundll32_standin WIN32 support/rundll32_standin.cpp)
set_target_properties(rundll32_standin PROPERTIES OUTPUT_NAME rundll32
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/standin")
target_link_libraries(rundll32_standin PRIVATE portsetup_warnings)
target_compile_definitions(rundll32_standin PRIVATE UNICODE _UNICODE)
target_link_options(rundll32_standin PRIVATE -municode -static)

# On 64-bit Windows the system folder's rundll32.exe is a 64-bit program, also
# for the 32-bit build's tests.
if(PORTSETUP_ARCH EQUAL 32)
  find_program(PORTSETUP_CXX64 NAMES x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-g++ REQUIRED)
  set(PORTSETUP_STANDIN64 "${CMAKE_CURRENT_BINARY_DIR}/standin64/rundll32.exe")
  add_custom_command(OUTPUT "${PORTSETUP_STANDIN64}"
    COMMAND "${PORTSETUP_CXX64}" -municode -mwindows -static -Os -DUNICODE -D_UNICODE
            -o "${PORTSETUP_STANDIN64}" "${CMAKE_CURRENT_SOURCE_DIR}/support/rundll32_standin.cpp"
    DEPENDS support/rundll32_standin.cpp
    VERBATIM)
  add_custom_target(rundll32_standin64 ALL DEPENDS "${PORTSETUP_STANDIN64}")
else()
  set(PORTSETUP_STANDIN64 "$<TARGET_FILE:rundll32_standin>")
endif()

add_executable(windows_tests
  ${PORTSETUP_CORE_TESTS}
  support/wine_test_support.cpp
  dialog/form1_test.cpp
  platform/dll_search_test.cpp
  platform/library_failures_test.cpp
  platform/launch_test.cpp
  registry/mod_register_test.cpp
  "${PORTSETUP_RESOURCE_SCRIPT}")
target_include_directories(windows_tests PRIVATE . "${PORTSETUP_GENERATED_DIR}" "${PROJECT_SOURCE_DIR}/src/resources")
target_link_libraries(windows_tests PRIVATE portsetup_win32 portsetup_warnings GTest::gtest_main advapi32)
target_link_options(windows_tests PRIVATE -static)
add_dependencies(windows_tests rundll32_standin planted_probe library_failure_probe)

# The library's failures, compiled and linked as in the program.
add_executable(library_failure_probe WIN32 support/library_failure_probe.cpp
  "${PROJECT_SOURCE_DIR}/src/platform/library_failures.cpp")
set_target_properties(library_failure_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
target_compile_options(library_failure_probe PRIVATE ${PORTSETUP_SIZE_OPTIONS})
target_link_libraries(library_failure_probe PRIVATE portsetup_win32 portsetup_warnings)
target_link_options(library_failure_probe PRIVATE ${PORTSETUP_LINK_OPTIONS})

# Planted beside the tests, where a hardened program must not look for DLLs.
add_library(planted_probe SHARED support/planted_probe.cpp)
set_target_properties(planted_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
target_link_options(planted_probe PRIVATE -static)

add_test(NAME win${PORTSETUP_ARCH}.prefix
  COMMAND "${PORTSETUP_WINE_DIR}/prepare-prefix.sh" "${PORTSETUP_WINE_BASE}" "${PORTSETUP_TEST_PREFIX}"
          "${PORTSETUP_STANDIN64}" "$<TARGET_FILE:rundll32_standin>")
set_tests_properties(win${PORTSETUP_ARCH}.prefix PROPERTIES FIXTURES_SETUP wine_prefix)
add_test(NAME win${PORTSETUP_ARCH}.prefix-done
  COMMAND "${PORTSETUP_WINE_DIR}/stop-wineserver.sh" "${PORTSETUP_TEST_PREFIX}")
set_tests_properties(win${PORTSETUP_ARCH}.prefix-done PROPERTIES FIXTURES_CLEANUP wine_prefix)

set(PORTSETUP_WINE_ENVIRONMENT
  "WINEPREFIX=${PORTSETUP_TEST_PREFIX}"
  "WINEDEBUG=-all"
  "WINEDLLOVERRIDES=rundll32.exe=n"
  "PORTSETUP_EXPECTED_DPI=96")

gtest_add_tests(TARGET windows_tests TEST_PREFIX "win${PORTSETUP_ARCH}." TEST_LIST windows_test_names)
# A message box that nobody answers would otherwise hold a broken run forever.
set_tests_properties(${windows_test_names} PROPERTIES
  TIMEOUT 90
  FIXTURES_REQUIRED wine_prefix
  SKIP_RETURN_CODE 77
  ENVIRONMENT "${PORTSETUP_WINE_ENVIRONMENT}")

# The dialog's layout at other screen resolutions, each in a prefix of its own.
foreach(dpi 120 144)
  set(prefix "${CMAKE_BINARY_DIR}/wine-test-${dpi}")
  add_test(NAME win${PORTSETUP_ARCH}.prefix-${dpi}dpi
    COMMAND "${PORTSETUP_WINE_DIR}/prepare-prefix.sh" "${PORTSETUP_WINE_BASE}" "${prefix}"
            "${PORTSETUP_STANDIN64}" "$<TARGET_FILE:rundll32_standin>" ${dpi})
  add_test(NAME win${PORTSETUP_ARCH}.prefix-${dpi}dpi-done COMMAND "${PORTSETUP_WINE_DIR}/stop-wineserver.sh" "${prefix}")
  add_test(NAME win${PORTSETUP_ARCH}.layout-${dpi}dpi COMMAND windows_tests
    "--gtest_filter=Form1Test.WindowHasItsCaptionSizeAndPlace:Form1Test.EveryControl*:Form1Test.UsesTheScreenDpi")
  set_tests_properties(win${PORTSETUP_ARCH}.prefix-${dpi}dpi PROPERTIES FIXTURES_SETUP wine_prefix_${dpi})
  set_tests_properties(win${PORTSETUP_ARCH}.prefix-${dpi}dpi-done PROPERTIES FIXTURES_CLEANUP wine_prefix_${dpi})
  set_tests_properties(win${PORTSETUP_ARCH}.layout-${dpi}dpi PROPERTIES
    FIXTURES_REQUIRED wine_prefix_${dpi}
    TIMEOUT 120
    SKIP_RETURN_CODE 77
    ENVIRONMENT "WINEPREFIX=${prefix};WINEDEBUG=-all;PORTSETUP_EXPECTED_DPI=${dpi}")
endforeach()

if(PORTSETUP_ARCH EQUAL 64)
  add_test(NAME win64.small-screen
    COMMAND "${PORTSETUP_WINE_DIR}/small-screen.sh" "${PORTSETUP_WINE_BASE}" "${CMAKE_BINARY_DIR}/wine-test-small"
            "$<TARGET_FILE:windows_tests>")
  set_tests_properties(win64.small-screen PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL ON TIMEOUT 120)
endif()

add_test(NAME win${PORTSETUP_ARCH}.operator
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/blackbox/operator_test.sh" ${PORTSETUP_ARCH} "$<TARGET_FILE:PortSetup>"
          "${PORTSETUP_STANDIN64}" "$<TARGET_FILE:rundll32_standin>" "${PORTSETUP_WINE_BASE}"
          "${CMAKE_CURRENT_BINARY_DIR}/operator")
set_tests_properties(win${PORTSETUP_ARCH}.operator PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL ON TIMEOUT 900)

add_test(NAME win${PORTSETUP_ARCH}.program-file
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/blackbox/pe_check.sh" ${PORTSETUP_ARCH} "$<TARGET_FILE:PortSetup>"
          "${CMAKE_CURRENT_BINARY_DIR}/program-file")
