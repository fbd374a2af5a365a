# Release artefacts through CPack, one command per platform (see README):
#   Linux:    a .tar.gz of the installed tree and a .deb
#   Windows:  a .zip of the installed tree (DLLs, both kinds of import
#             library, headers, the CMake package, varnel-math.exe)
set(CPACK_PACKAGE_NAME varnel-math)
set(CPACK_PACKAGE_VENDOR "Varnel")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "C99 auxiliary and special functions in float, double and long double, reproducible to the bit")
set(CPACK_PACKAGE_CONTACT "Varnel math maintainers <maintainers@varnel.invalid>")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_SYSTEM_NAME windows-x64)
else()
  set(CPACK_GENERATOR TGZ DEB)
  set(CPACK_SYSTEM_NAME linux-x86_64)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION libs)
  # The libraries link the C library only; varnel-math links the C++
  # runtime too.  dpkg-shlibdeps reads what they need.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()
include(CPack)
