# The Windows program: resources, the Win32 layer and the executable.
enable_language(RC)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(PORTSETUP_DIST_NAME win64)
else()
  set(PORTSETUP_DIST_NAME win32)
endif()
set(PORTSETUP_DIST_DIR "${PROJECT_SOURCE_DIR}/dist/${PORTSETUP_DIST_NAME}")

# The version texts show the minor number in two digits: 1.1 reads "1.01".
if(PROJECT_VERSION_MINOR LESS 10)
  set(PORTSETUP_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(PORTSETUP_VERSION_TEXT "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()

# The version record's names and language (Korean, 0x0412, with Unicode texts).
set(PORTSETUP_PRODUCT_NAME "PortSetup")
set(PORTSETUP_COMPANY_NAME "PortSetup")
set(PORTSETUP_LANGUAGE_HEX "0412")
math(EXPR PORTSETUP_LANGUAGE "0x${PORTSETUP_LANGUAGE_HEX}" OUTPUT_FORMAT DECIMAL)

set(PORTSETUP_GENERATED_DIR "${CMAKE_BINARY_DIR}/generated")
configure_file(src/resources/version.rc.in "${PORTSETUP_GENERATED_DIR}/version.rc" @ONLY)
# The same, for scripts/package.sh: the packages take their versions and names from the build.
file(CONFIGURE OUTPUT "${PORTSETUP_GENERATED_DIR}/version.env" @ONLY CONTENT
  "PORTSETUP_VERSION=@PROJECT_VERSION@
PORTSETUP_VERSION_TEXT=@PORTSETUP_VERSION_TEXT@
PORTSETUP_LANGUAGE=@PORTSETUP_LANGUAGE@
PORTSETUP_PRODUCT_NAME=@PORTSETUP_PRODUCT_NAME@
PORTSETUP_COMPANY_NAME=@PORTSETUP_COMPANY_NAME@
")

# The icon is drawn by a small generator built for the build machine.
find_program(PORTSETUP_HOST_CXX NAMES c++ g++ REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(PORTSETUP_ICON "${PORTSETUP_GENERATED_DIR}/PortSetup.ico")
add_custom_command(
  OUTPUT "${PORTSETUP_ICON}"
  COMMAND "${PORTSETUP_HOST_CXX}" -std=c++20 -O1 -o "${CMAKE_BINARY_DIR}/make_icon"
          "${PROJECT_SOURCE_DIR}/tools/make_icon.cpp"
  COMMAND "${CMAKE_BINARY_DIR}/make_icon" "${PORTSETUP_ICON}"
  DEPENDS "${PROJECT_SOURCE_DIR}/tools/make_icon.cpp"
  COMMENT "Drawing the application icon"
  VERBATIM)

# The manifest goes into the program without its comments and indentation.
file(READ src/resources/PortSetup.manifest PORTSETUP_MANIFEST)
string(REGEX REPLACE "<!--[^>]*-->" "" PORTSETUP_MANIFEST "${PORTSETUP_MANIFEST}")
string(REGEX REPLACE "\n[ \n]*" "\n" PORTSETUP_MANIFEST "${PORTSETUP_MANIFEST}")
file(CONFIGURE OUTPUT "${PORTSETUP_GENERATED_DIR}/manifest.xml" CONTENT "${PORTSETUP_MANIFEST}")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS src/resources/PortSetup.manifest)

set(PORTSETUP_RESOURCE_SCRIPT "${PROJECT_SOURCE_DIR}/src/resources/PortSetup.rc")
set_source_files_properties("${PORTSETUP_RESOURCE_SCRIPT}" PROPERTIES OBJECT_DEPENDS
  "${PORTSETUP_ICON};${PORTSETUP_GENERATED_DIR}/version.rc;${PORTSETUP_GENERATED_DIR}/manifest.xml")

add_library(portsetup_win32 STATIC
  src/dialog/form1.cpp
  src/dialog/setting_list_control.cpp
  src/driver/driver_setup.cpp
  src/driver/protected_print.cpp
  src/driver/spooler.cpp
  src/platform/dpi.cpp
  src/platform/error_text.cpp
  src/platform/hardening.cpp
  src/platform/log_file.cpp
  src/platform/system.cpp
  src/platform/system_functions.cpp
  src/platform/waiting.cpp
  src/registry/mod_register.cpp
  src/registry/remembered_install.cpp
  src/settings/port_settings.cpp
  src/unattended/unattended.cpp)
target_link_libraries(portsetup_win32 PUBLIC portsetup_core PRIVATE portsetup_warnings)
target_include_directories(portsetup_win32 PUBLIC src)
target_compile_definitions(portsetup_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                           _WIN32_WINNT=0x0601)
target_compile_definitions(portsetup_win32 PRIVATE "PORTSETUP_VERSION_TEXT=\"${PORTSETUP_VERSION_TEXT}\"")
target_link_libraries(portsetup_win32 PUBLIC advapi32 comctl32 gdi32 user32)

# Size: no unused code or data, no symbols, no exceptions (what the library
# would throw ends the program instead: src/library_failures.cpp) and so no
# unwind tables, no locks around static initialisation (the one other thread,
# the command line's deadline in src/unattended/unattended.cpp, calls nothing
# that keeps a function-local static). Link-time optimisation is not used:
# this compiler fails on it (msvcrt's imported __argc, then the string
# functions' comdat sections); the program is compiled as one unit instead
# (below).
set(PORTSETUP_SIZE_OPTIONS -Os -ffunction-sections -fdata-sections -fno-asynchronous-unwind-tables -fno-unwind-tables
    $<$<COMPILE_LANGUAGE:CXX>:-fno-exceptions> $<$<COMPILE_LANGUAGE:CXX>:-fno-rtti>
    $<$<COMPILE_LANGUAGE:CXX>:-fno-threadsafe-statics>)
target_compile_options(portsetup_core PRIVATE ${PORTSETUP_SIZE_OPTIONS})
target_compile_options(portsetup_win32 PRIVATE ${PORTSETUP_SIZE_OPTIONS})

# Statically linked: only Windows' own DLLs are imported. ASLR and DEP on.
set(PORTSETUP_LINK_OPTIONS -municode -static -static-libgcc -static-libstdc++ -Wl,--gc-sections
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,1
    -Wl,--major-os-version,6 -Wl,--minor-os-version,1)
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  list(APPEND PORTSETUP_LINK_OPTIONS -Wl,--high-entropy-va)
endif()

# The program itself is compiled as one unit, from the same sources as the
# libraries the tests link: the compiler sees every function at once, as
# link-time optimisation would, keeps one copy of each library function and
# each text and, as the unit is the whole program (-fwhole-program), keeps
# out of sight of the linker all but the entry point and the library's
# failure hooks; the compiler drops what is not called, so the code is kept in
# one section rather than a section a function, each padded to 16 bytes. (A
# name two files both keep to themselves stops the build.)
get_target_property(PORTSETUP_CORE_SOURCES portsetup_core SOURCES)
get_target_property(PORTSETUP_WIN32_SOURCES portsetup_win32 SOURCES)
add_executable(PortSetup WIN32 ${PORTSETUP_CORE_SOURCES} ${PORTSETUP_WIN32_SOURCES} src/main.cpp
  src/library_failures.cpp "${PORTSETUP_RESOURCE_SCRIPT}")
set_target_properties(PortSetup PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
target_include_directories(PortSetup PRIVATE src "${PORTSETUP_GENERATED_DIR}" src/resources)
target_compile_definitions(PortSetup PRIVATE $<TARGET_PROPERTY:portsetup_win32,INTERFACE_COMPILE_DEFINITIONS>
                           "$<$<COMPILE_LANGUAGE:CXX>:PORTSETUP_VERSION_TEXT=\"${PORTSETUP_VERSION_TEXT}\">")
target_compile_options(PortSetup PRIVATE ${PORTSETUP_SIZE_OPTIONS} -fwhole-program -fno-function-sections -fno-data-sections)
target_link_libraries(PortSetup PRIVATE portsetup_warnings advapi32 comctl32 gdi32 user32)
target_link_options(PortSetup PRIVATE ${PORTSETUP_LINK_OPTIONS} -s)
if(PORTSETUP_RELEASE)
  # The same bytes from the same sources, wherever and whenever they are
  # built: no time stamp in the PE header, no build folder in the code.
  foreach(target portsetup_core portsetup_win32 PortSetup)
    target_compile_options(${target} PRIVATE "-ffile-prefix-map=${PROJECT_SOURCE_DIR}=."
                           "-ffile-prefix-map=${CMAKE_BINARY_DIR}=build")
  endforeach()
  target_link_options(PortSetup PRIVATE -Wl,--no-insert-timestamp)
else()
  add_custom_command(TARGET PortSetup POST_BUILD
    COMMAND "${CMAKE_COMMAND}" -E make_directory "${PORTSETUP_DIST_DIR}"
    COMMAND "${CMAKE_COMMAND}" -E copy "$<TARGET_FILE:PortSetup>" "${PORTSETUP_DIST_DIR}/PortSetup.exe"
    VERBATIM)
endif()
