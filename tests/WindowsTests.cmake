# Windows tests: built with mingw, run under Wine in a prefix of their own,
# where a stand-in records what would have been started as rundll32.exe.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(arch 64)
else()
  set(arch 32)
endif()
set(PORTSETUP_WINE_BASE "${PROJECT_SOURCE_DIR}/build/wine-base" CACHE PATH "A clean Wine prefix the tests copy")

add_executable(rundll32_standin WIN32 support/rundll32_standin.cpp)
set_target_properties(rundll32_standin PROPERTIES OUTPUT_NAME rundll32
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/standin")
target_link_libraries(rundll32_standin PRIVATE portsetup_warnings)
target_compile_definitions(rundll32_standin PRIVATE UNICODE _UNICODE)
target_link_options(rundll32_standin PRIVATE -municode -static)
target_link_libraries(rundll32_standin PRIVATE winspool)

# System32's rundll32.exe is 64-bit on 64-bit Windows: the 32-bit tree is
# given the 64-bit tree's stand-in.
set(PORTSETUP_STANDIN64 "$<TARGET_FILE:rundll32_standin>" CACHE STRING "The 64-bit stand-in rundll32.exe")

# With the program's resources: its manifest chooses the controls and the DPI awareness.
add_executable(windows_tests dialog/form1_test.cpp registry/mod_register_test.cpp
  platform/hardening_test.cpp platform/log_file_test.cpp
  "${PORTSETUP_RESOURCE_SCRIPT}")
target_include_directories(windows_tests PRIVATE "${PORTSETUP_GENERATED_DIR}" "${PROJECT_SOURCE_DIR}/src/resources")
target_link_libraries(windows_tests PRIVATE portsetup_win32 portsetup_warnings GTest::gtest_main advapi32 oleacc oleaut32
  ole32 uuid)
target_link_options(windows_tests PRIVATE -static)
# The program's target draws the icon the resource script needs.
add_dependencies(windows_tests planted_probe PortSetup)

# The library's failures, compiled and linked as in the program.
add_executable(library_failure_probe WIN32 support/library_failure_probe.cpp
  "${PROJECT_SOURCE_DIR}/src/library_failures.cpp")
set_target_properties(library_failure_probe PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
target_compile_options(library_failure_probe PRIVATE ${PORTSETUP_SIZE_OPTIONS})
target_link_libraries(library_failure_probe PRIVATE portsetup_win32 portsetup_warnings)
target_link_options(library_failure_probe PRIVATE ${PORTSETUP_LINK_OPTIONS})

# The spooler's client as Windows' behaves where Wine's does not, for the
# program under test (see the file).
add_library(winspool_standin SHARED support/winspool_standin.cpp)
set_target_properties(winspool_standin PROPERTIES PREFIX "" OUTPUT_NAME winspool SUFFIX .drv
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/standin")
target_link_libraries(winspool_standin PRIVATE portsetup_warnings)
target_link_options(winspool_standin PRIVATE -static -Wl,--kill-at)

# msiexec.exe as Windows' sets UPGRADINGPRODUCTCODE (see the file).
add_executable(msiexec_standin support/msiexec_standin.cpp)
set_target_properties(msiexec_standin PROPERTIES OUTPUT_NAME msiexec RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/standin")
target_link_libraries(msiexec_standin PRIVATE portsetup_warnings)
target_link_options(msiexec_standin PRIVATE -municode -static)
target_link_libraries(msiexec_standin PRIVATE msi)

# Windows 11's protected print mode, on, for a test prefix (see the file).
add_library(protected_print_standin SHARED support/protected_print_standin.cpp)
set_target_properties(protected_print_standin PROPERTIES PREFIX "" OUTPUT_NAME protected_print
  RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}/standin")
target_link_libraries(protected_print_standin PRIVATE portsetup_warnings)
target_link_options(protected_print_standin PRIVATE -static -Wl,--kill-at)

# Planted beside the tests, where a hardened program must not look for DLLs.
add_library(planted_probe SHARED support/planted_probe.cpp)
set_target_properties(planted_probe PROPERTIES PREFIX "" RUNTIME_OUTPUT_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
target_link_options(planted_probe PRIVATE -static)

# One Wine start for all the Windows tests; the layout test again at 144 DPI
# and on a screen smaller than the window.
foreach(run "windows;96;1280x1024;*" "layout-144dpi;144;1280x1024;Form1Test.LaysItself*"
            "layout-small-screen;96;320x200;Form1Test.LaysItself*")
  list(POP_FRONT run name)
  add_test(NAME wine8.win${arch}.${name} COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/wine/windows-tests.sh" ${arch}
    "${PORTSETUP_WINE_BASE}" "${CMAKE_BINARY_DIR}/wine-${name}" "$<TARGET_FILE:windows_tests>" ${run}
    "${PORTSETUP_STANDIN64}" "$<TARGET_FILE:rundll32_standin>" "$<TARGET_FILE:winspool_standin>")
  set_tests_properties(wine8.win${arch}.${name} PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 300)
endforeach()

add_test(NAME wine8.win${arch}.operator
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/blackbox/operator_test.sh" ${arch} "$<TARGET_FILE:PortSetup>" "${PORTSETUP_STANDIN64}"
          "$<TARGET_FILE:rundll32_standin>" "${PORTSETUP_WINE_BASE}" "${CMAKE_CURRENT_BINARY_DIR}/operator"
          "$<TARGET_FILE:library_failure_probe>" "$<TARGET_FILE:winspool_standin>")
set_tests_properties(wine8.win${arch}.operator PROPERTIES SKIP_RETURN_CODE 77 RUN_SERIAL ON TIMEOUT 900)

add_test(NAME win${arch}.program-file
  COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/blackbox/pe_check.sh" ${arch} "$<TARGET_FILE:PortSetup>"
          "${CMAKE_CURRENT_BINARY_DIR}/program-file")

if(arch EQUAL 64)
  add_test(NAME wine8.release COMMAND "${CMAKE_CURRENT_SOURCE_DIR}/blackbox/release_test.sh" "${PROJECT_SOURCE_DIR}"
    "${CMAKE_CURRENT_BINARY_DIR}/release" "${PORTSETUP_WINE_BASE}" "${CMAKE_CURRENT_BINARY_DIR}/standin/rundll32.exe")
  set_tests_properties(wine8.release PROPERTIES TIMEOUT 900 RUN_SERIAL ON)
endif()
