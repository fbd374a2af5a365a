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
# calls.  MinGW-w64's own import libraries are not used for it: they leave
# exp, log, pow and sin out in favour of static replacements.
set(VARNEL_UCRT_IMPLIB ${PROJECT_BINARY_DIR}/cmake/libvarnel_ucrtbase.a)
add_custom_command(OUTPUT ${VARNEL_UCRT_IMPLIB}
  COMMAND ${VARNEL_DLLTOOL} -m i386:x86-64 -d ${PROJECT_SOURCE_DIR}/cmake/windows/ucrtbase.def
          -l ${VARNEL_UCRT_IMPLIB}
  DEPENDS ${PROJECT_SOURCE_DIR}/cmake/windows/ucrtbase.def
  COMMENT "Import library of the Universal CRT")
add_custom_target(varnel_ucrt_implib DEPENDS ${VARNEL_UCRT_IMPLIB})
add_library(varnel_ucrt STATIC IMPORTED GLOBAL)
set_target_properties(varnel_ucrt PROPERTIES IMPORTED_LOCATION ${VARNEL_UCRT_IMPLIB})
add_dependencies(varnel_ucrt varnel_ucrt_implib)

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
  target_link_libraries(${target} PRIVATE varnel_ucrt kernel32 gcc)
  set(msvc_lib $<TARGET_LINKER_FILE_DIR:${target}>/${target}.lib)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${VARNEL_DLLTOOL} -m i386:x86-64 -d ${import_def} -l ${msvc_lib}
    COMMENT "MSVC import library ${target}.lib")
  install(FILES ${msvc_lib} DESTINATION ${CMAKE_INSTALL_LIBDIR})
endfunction()

# varnel_windows_executable(<target>)
#
# A program of the project: libstdc++, libgcc and winpthread linked in
# statically, so that it runs without DLLs beside it, and the UCRT's math
# functions and errno ahead of MinGW's.  The toolchain's C++ runtime
# (Debian's MinGW-w64) is built on msvcrt.dll, which has an errno of its
# own; a program that reads errno after a call into the libraries must read
# the UCRT's, and its platform comparisons must call the UCRT's functions,
# which are the ones the libraries use.  The import library comes first on
# the link line, so the program's own references bind to it.
function(varnel_windows_executable target)
  target_link_options(${target} PRIVATE -static)
  target_link_libraries(${target} PRIVATE varnel_ucrt)
endfunction()
