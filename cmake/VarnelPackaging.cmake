# Release artefacts through CPack, one command per platform (see README):
#   Linux:    a .tar.gz of the installed tree and a .deb, for the processor
#             the build is for (x86-64, or cross-built AArch64 and s390x)
#   Windows:  a .zip of the installed tree (DLLs, both kinds of import
#             library, headers, the CMake package, varnel-math.exe)
set(CPACK_PACKAGE_NAME varnel-math)
set(CPACK_PACKAGE_VENDOR "Varnel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "C99 special functions in float, double and long double, bit-reproducible")
set(CPACK_PACKAGE_CONTACT "Varnel math maintainers <maintainers@varnel.invalid>")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME linux-${CMAKE_SYSTEM_PROCESSOR})
  # Debian's name of the processor; CPack would ask dpkg, which names the
  # build machine's.
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
  elseif(CMAKE_SYSTEM_PROCESSOR MATCHES "^(aarch64|arm64)$")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE arm64)
  elseif(CMAKE_SYSTEM_PROCESSOR STREQUAL "s390x")
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE s390x)
  else()
    message(FATAL_ERROR "no Debian architecture known for the processor ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  # The extended description (the synopsis is the summary above).
  set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Three shared libraries with the C99 auxiliary and special functions
(acosh ... trunc) and the TR1 classification templates in double, float
and long double, results reproducible to the bit and errors reported
through errno; a stack-frame capture library; their headers, CMake
package and pkg-config files; the varnel-math program, which evaluates
the functions, compares them with the C library's and reports their
accuracy and speed; and the manual pages.")
  # The libraries link the C library only; varnel-math links the C++
  # runtime too.  dpkg-shlibdeps reads what they need.  It reads that from
  # the packages of the target's libraries, which a cross build does not
  # have installed (Debian's cross compilers bring them as packages of the
  # build machine): there the dependencies are those of the toolchain the
  # packages are built with, Debian 12's.
  if(CMAKE_CROSSCOMPILING)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS OFF)
    set(CPACK_DEBIAN_PACKAGE_DEPENDS "libc6 (>= 2.36), libgcc-s1 (>= 3.0), libstdc++6 (>= 12)")
  else()
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  endif()
  # A shlibs file, so that packages built against these libraries depend
  # on this one, at least in this version.
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
  set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
  # ldconfig runs through dpkg's trigger; the maintainer scripts CPack
  # would otherwise write for it are replaced by ones that do nothing
  # (lintian's warning about them is suppressed in
  # cmake/debian/lintian-suppressed-tags, which says why).
  set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${PROJECT_SOURCE_DIR}/cmake/debian/triggers
    ${PROJECT_SOURCE_DIR}/cmake/debian/postinst
    ${PROJECT_SOURCE_DIR}/cmake/debian/postrm)
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  # The .deb holds the licence and the changelog in Debian's forms
  # (cmake/debian/documents.cmake); the other packages hold them as written.
  set(CPACK_PRE_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/debian/documents.cmake)
  set(CPACK_VARNEL_SOURCE_DIR ${PROJECT_SOURCE_DIR})
  set(CPACK_VARNEL_PYTHON ${Python3_EXECUTABLE})
endif()
include(CPack)
