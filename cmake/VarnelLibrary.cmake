# Shared-library and packaging helpers used by every library of the project.

# Every library resolves all its symbols at link time.  Off only where an
# instrumented build leaves the sanitizer runtime to the executable (clang).
option(VARNEL_NO_UNDEFINED "Link the libraries with --no-undefined" ON)

set(VARNEL_PACKAGE_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/varnel_math")
# The licence (LICENSE), as the pkg-config files and the CMake package name it.
set(VARNEL_LICENSE_SPDX MIT)
# The catalogue: the one list of the functions and of what each library
# exports.  Everything derived from it is written when CMake configures, and
# CMake configures again when it changes.
set(VARNEL_CATALOGUE ${PROJECT_SOURCE_DIR}/src/catalogue.toml)
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${VARNEL_CATALOGUE} ${PROJECT_SOURCE_DIR}/cmake/exports.py ${PROJECT_SOURCE_DIR}/cmake/catalogue.py)

# Headers written from the catalogue for the build: the public ones
# (installed beside include/) and those of the tools and tests.
set(VARNEL_GENERATED_INCLUDE_DIR ${PROJECT_BINARY_DIR}/generated/include)
set(VARNEL_GENERATED_INTERNAL_DIR ${PROJECT_BINARY_DIR}/generated/internal)

# varnel_catalogue(<args>...): runs cmake/catalogue.py <args> now, and
# stops the configuration with its message when it fails.
function(varnel_catalogue)
  execute_process(COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/catalogue.py ${ARGN}
    RESULT_VARIABLE failed ERROR_VARIABLE message OUTPUT_VARIABLE output OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(failed)
    message(FATAL_ERROR "cmake/catalogue.py ${ARGV0}: ${message}")
  endif()
  set(VARNEL_CATALOGUE_OUTPUT "${output}" PARENT_SCOPE)
endfunction()

# varnel_add_shared_library(<target> EXPORT_NAME <name> EXPORTS <section>
#                           [DEFINES <NAME=VALUE>...] DESCRIPTION <text>
#                           SOURCES <src>... [LIBS <lib>...]
#                           [SYMBOLS_HEADER <path> SYMBOLS_PREFIX <prefix>])
#
# A shared library that exports exactly the entries of library <section> of
# the catalogue (DEFINES fill its placeholders) and hides everything else,
# with an alias varnel::<name>, installation into the varnel_math export set
# and a pkg-config file <target>.pc.  ELF: SONAME lib<target>.so.<major> and
# a version script.  Windows: <target>.dll with a .def file, a MinGW import
# library lib<target>.dll.a and an MSVC one <target>.lib.  SYMBOLS_HEADER
# also writes the decorated names of the C++ entries into a header, each
# as a macro <prefix><name>.
function(varnel_add_shared_library target)
  cmake_parse_arguments(ARG "" "EXPORT_NAME;EXPORTS;DESCRIPTION;SYMBOLS_HEADER;SYMBOLS_PREFIX" "DEFINES;SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  add_library(varnel::${ARG_EXPORT_NAME} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    EXPORT_NAME ${ARG_EXPORT_NAME})

  # The list of exports in the linker's form, written when CMake configures
  # (it reruns when the list changes): the decorated names of the C++
  # entries come from the compiler that builds the library.
  set(defines)
  foreach(d IN LISTS ARG_DEFINES)
    list(APPEND defines -D "${d}")
  endforeach()
  set(base ${CMAKE_CURRENT_BINARY_DIR}/${target})
  if(WIN32)
    set(form def ${base}.def --dll ${target}.dll --import-def ${base}.imports.def
             --msvc-cxx ${VARNEL_MSVC_CXX} --msvc-nm ${VARNEL_LLVM_NM})
  else()
    set(form version-script ${base}.map)
  endif()
  list(INSERT form 1 ${VARNEL_CATALOGUE} ${ARG_EXPORTS})
  list(GET form 3 exports_file)
  if(ARG_SYMBOLS_HEADER)
    list(APPEND form --symbols-header ${ARG_SYMBOLS_HEADER} --symbols-prefix ${ARG_SYMBOLS_PREFIX})
  endif()
  execute_process(
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/cmake/exports.py ${form} ${defines}
            --cxx ${CMAKE_CXX_COMPILER} --nm ${CMAKE_NM}
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "could not write the exports of ${target}")
  endif()
  if(WIN32)
    varnel_windows_dll(${target} ${base}.def ${base}.imports.def)
  else()
    # --no-undefined-version: a name the list exports but no unit defines
    # (a function added to the catalogue without its wrapper) fails the
    # link, naming it.
    target_link_options(${target} PRIVATE "LINKER:--version-script=${exports_file}" "LINKER:--no-undefined-version")
    set_target_properties(${target} PROPERTIES LINK_DEPENDS ${exports_file})
    if(VARNEL_NO_UNDEFINED)
      target_link_options(${target} PRIVATE "LINKER:--no-undefined")
    endif()
  endif()
  target_link_libraries(${target} PUBLIC varnel_math_headers PRIVATE ${ARG_LIBS})
  if(NOT VARNEL_INSTALL)
    return()
  endif()
  install(TARGETS ${target} EXPORT varnel_mathTargets
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  # The .pc file finds its prefix relative to itself, so the package can be
  # installed under any --prefix and still be found through PKG_CONFIG_PATH.
  file(RELATIVE_PATH PC_PREFIX_FROM_PCFILE
    "/root/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/root")
  set(PC_NAME ${target})
  set(PC_DESCRIPTION "${ARG_DESCRIPTION}")
  set(PC_VERSION ${PROJECT_VERSION})
  configure_file(${PROJECT_SOURCE_DIR}/cmake/varnel.pc.in
    ${CMAKE_CURRENT_BINARY_DIR}/${target}.pc @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/${target}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endfunction()

# Installs the public headers, the exported targets and the CMake package
# (find_package(varnel_math CONFIG) gives varnel::math_c99 and friends).
function(varnel_install_package)
  include(CMakePackageConfigHelpers)
  # The library's own elementary functions and their generated tables are
  # needed by the family headers only in the portable build.
  set(platform_only)
  if(NOT VARNEL_MATH_ELEMENTARY STREQUAL "portable")
    set(platform_only PATTERN "elementary/portable*" EXCLUDE)
  endif()
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/varnel
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR} ${platform_only})
  install(DIRECTORY ${VARNEL_GENERATED_INCLUDE_DIR}/varnel
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
  install(TARGETS varnel_math_headers EXPORT varnel_mathTargets)
  install(EXPORT varnel_mathTargets NAMESPACE varnel::
    FILE varnel_mathTargets.cmake
    DESTINATION ${VARNEL_PACKAGE_CMAKEDIR})
  configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/varnel_mathConfig.cmake.in
    ${PROJECT_BINARY_DIR}/varnel_mathConfig.cmake
    INSTALL_DESTINATION ${VARNEL_PACKAGE_CMAKEDIR})
  write_basic_package_version_file(${PROJECT_BINARY_DIR}/varnel_mathConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${PROJECT_BINARY_DIR}/varnel_mathConfig.cmake
    ${PROJECT_BINARY_DIR}/varnel_mathConfigVersion.cmake
    DESTINATION ${VARNEL_PACKAGE_CMAKEDIR})
endfunction()

# varnel_executable(<target>)
#
# What every program of the project (tests, tools) needs on its platform:
# on Windows the runtime arrangement of varnel_windows_executable; nothing
# elsewhere.
function(varnel_executable target)
  if(WIN32)
    varnel_windows_executable(${target})
  endif()
endfunction()

# varnel_runtime_path(<out-var> <path>)
#
# <path> as the project's programs see it when they run: under Wine the
# host's root is drive Z:.
function(varnel_runtime_path out path)
  if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(path "Z:${path}")
  endif()
  set(${out} "${path}" PARENT_SCOPE)
endfunction()
