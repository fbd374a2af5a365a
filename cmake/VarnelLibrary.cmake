# Shared-library and packaging helpers used by every library of the project.

# Every library resolves all its symbols at link time.  Off only where an
# instrumented build leaves the sanitizer runtime to the executable (clang).
option(VARNEL_NO_UNDEFINED "Link the libraries with --no-undefined" ON)

set(VARNEL_PACKAGE_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/varnel_math")

# varnel_add_shared_library(<target> EXPORT_NAME <name> VERSION_SCRIPT <file>
#                           DESCRIPTION <text> SOURCES <src>...)
#
# A shared library with SONAME lib<target>.so.<major>, hidden default
# visibility (the version script is the one list of what is exported), an
# alias varnel::<name>, installation into the varnel_math export set and a
# pkg-config file <target>.pc.
function(varnel_add_shared_library target)
  cmake_parse_arguments(ARG "" "EXPORT_NAME;VERSION_SCRIPT;DESCRIPTION" "SOURCES;LIBS" ${ARGN})
  add_library(${target} SHARED ${ARG_SOURCES})
  add_library(varnel::${ARG_EXPORT_NAME} ALIAS ${target})
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    EXPORT_NAME ${ARG_EXPORT_NAME}
    LINK_DEPENDS ${ARG_VERSION_SCRIPT})
  target_link_options(${target} PRIVATE "LINKER:--version-script=${ARG_VERSION_SCRIPT}")
  if(VARNEL_NO_UNDEFINED)
    target_link_options(${target} PRIVATE "LINKER:--no-undefined")
  endif()
  target_link_libraries(${target} PUBLIC varnel_math_headers PRIVATE ${ARG_LIBS})
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
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/include/varnel
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
