# Release artefacts through CPack, one command per platform (see README):
#   Linux:    a .tar.gz of the installed tree and a .deb
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
  set(CPACK_SYSTEM_NAME linux-x86_64)
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
  # runtime too.  dpkg-shlibdeps reads what they need.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
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
