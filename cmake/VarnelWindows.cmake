# What building for Windows x64 takes beyond the compiler (MinGW-w64):
#
# - long double is binary64, as a program built by MSVC has it, in every
#   translation unit of the project that does not ask otherwise;
# - the C runtime of the DLLs is the Universal CRT (ucrtbase.dll), the
#   runtime of every program built by MSVC since 2015: errno is stored
#   where such a program reads it, and exp, log, pow, sin, expm1, log1p are
#   the UCRT's.  The DLLs link no default library, start at their own entry
#   point and import only from ucrtbase.dll and kernel32.dll;
# - besides its MinGW import library each DLL gets an MSVC one (.lib);
# - the project's executables take the same runtime's math functions and
#   errno (see varnel_windows_executable).

add_compile_options(-mlong-double-64)

find_program(VARNEL_DLLTOOL NAMES llvm-dlltool llvm-dlltool-14 REQUIRED)
find_program(VARNEL_LLVM_NM NAMES llvm-nm llvm-nm-14 REQUIRED)
# Clang decorates the C++ exports the way MSVC does (--target=...-msvc).
find_program(VARNEL_MSVC_CXX NAMES clang++ clang++-14 REQUIRED)

# Every executable and DLL in one directory, where Wine (like Windows)
# looks for a program's DLLs.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)

# The import library of the Universal CRT, from the names the project
# calls, written when CMake configures.  MinGW-w64's own import libraries
# are not used for it: they leave exp, log, pow and sin out in favour of
# static replacements.
set(VARNEL_UCRT_DEF ${PROJECT_SOURCE_DIR}/cmake/windows/ucrtbase.def)
set(VARNEL_UCRT_IMPLIB ${PROJECT_BINARY_DIR}/cmake/libvarnel_ucrtbase.a)
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/cmake)
execute_process(COMMAND ${VARNEL_DLLTOOL} -m i386:x86-64 -d ${VARNEL_UCRT_DEF} -l ${VARNEL_UCRT_IMPLIB}
                RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "could not write the import library of the Universal CRT")
endif()
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${VARNEL_UCRT_DEF})

# Every DLL and program of the project links it after its own objects and
# libraries and before the toolchain's default libraries: every reference
# the project's code makes to errno or to a mathematics function binds to
# the UCRT, wherever on the link line that code comes from (a static
# library of tests included).
foreach(lang C CXX)
  set(CMAKE_${lang}_STANDARD_LIBRARIES "\"${VARNEL_UCRT_IMPLIB}\" ${CMAKE_${lang}_STANDARD_LIBRARIES}")
endforeach()

# varnel_windows_dll(<target> <def> <import-def>)
#
# Links <target> as a DLL named <target>.dll that exports what <def> lists,
# with no C runtime but the UCRT and no default library, and writes the
# MSVC import library <target>.lib from <import-def> beside the MinGW one.
function(varnel_windows_dll target def import_def)
  set_target_properties(${target} PROPERTIES PREFIX "" IMPORT_PREFIX "lib" IMPORT_SUFFIX ".dll.a")
  target_sources(${target} PRIVATE ${def} ${PROJECT_SOURCE_DIR}/cmake/windows/dll_entry.cpp)
  # No start files and no default libraries: the entry point is ours, the
  # runtime the UCRT, and libgcc supplies the compiler's own helpers.
  target_link_options(${target} PRIVATE -nostdlib)
  target_link_libraries(${target} PRIVATE kernel32 gcc)
  set(msvc_lib $<TARGET_LINKER_FILE_DIR:${target}>/${target}.lib)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${VARNEL_DLLTOOL} -m i386:x86-64 -d ${import_def} -l ${msvc_lib}
    COMMENT "MSVC import library ${target}.lib")
  if(VARNEL_INSTALL)
    install(FILES ${msvc_lib} DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endfunction()

# varnel_windows_executable(<target>)
#
# A program of the project: libstdc++, libgcc and winpthread linked in
# statically, so that it runs without DLLs beside it.  Like the DLLs it
# takes errno and the mathematics functions from the UCRT (see above): the
# toolchain's C++ runtime (Debian's MinGW-w64) is built on msvcrt.dll, which
# has an errno of its own, while a program that reads errno after a call
# into the libraries must read the UCRT's, and its platform comparisons must
# call the functions the libraries use.
function(varnel_windows_executable target)
  target_link_options(${target} PRIVATE -static)
endfunction()
