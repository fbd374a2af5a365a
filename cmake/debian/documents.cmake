# CPack pre-build script: the .deb's documents in the forms Debian expects
# (the other packages keep LICENSE and CHANGELOG.md as written).
#   usr/share/doc/<package>/copyright     machine-readable, with the licence
#   usr/share/doc/<package>/changelog.gz  CHANGELOG.md as a Debian changelog
# (a native package: its version is the upstream one), in place of LICENSE
# and CHANGELOG.md.
if(NOT CPACK_GENERATOR STREQUAL "DEB")
  return()
endif()
set(doc "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/doc/${CPACK_PACKAGE_NAME}")
if(NOT EXISTS "${doc}/LICENSE" OR NOT EXISTS "${doc}/CHANGELOG.md")
  message(FATAL_ERROR "documents.cmake: ${doc} lacks LICENSE or CHANGELOG.md")
endif()

# The licence text as a copyright file's License paragraph: every line
# indented by one space, an empty line written as " .".
file(STRINGS "${CPACK_VARNEL_SOURCE_DIR}/LICENSE" license_lines)
file(READ "${CPACK_VARNEL_SOURCE_DIR}/LICENSE" license_text)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]*)" _ "${license_text}")
set(holder "${CMAKE_MATCH_1}")
set(body "")
set(in_terms FALSE)
foreach(line IN LISTS license_lines)
  # The terms start at "Permission ..."; title and copyright line are above.
  if(line MATCHES "^Permission ")
    set(in_terms TRUE)
  endif()
  if(NOT in_terms)
    continue()
  elseif(line STREQUAL "")
    string(APPEND body " .\n")
  else()
    string(APPEND body " ${line}\n")
  endif()
endforeach()
file(WRITE "${doc}/copyright"
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: ${CPACK_PACKAGE_NAME}
Upstream-Contact: ${CPACK_PACKAGE_CONTACT}

Files: *
Copyright: ${holder}
License: Expat
${body}")
file(REMOVE "${doc}/LICENSE")

execute_process(
  COMMAND "${CPACK_VARNEL_PYTHON}" "${CPACK_VARNEL_SOURCE_DIR}/scripts/changelog.py" debian
          "${doc}/CHANGELOG.md" --package ${CPACK_PACKAGE_NAME}
          --maintainer "${CPACK_PACKAGE_CONTACT}" -o "${doc}/changelog.gz"
  RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "documents.cmake: could not write the Debian changelog")
endif()
file(REMOVE "${doc}/CHANGELOG.md")
