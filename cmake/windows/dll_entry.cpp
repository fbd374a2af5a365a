// The entry point of the project's DLLs.  They link no C runtime start-up
// code: nothing in them needs initialising (no constructors, no
// thread-local data, no atexit), so loading and unloading do nothing.
#include <windows.h>

extern "C" BOOL WINAPI DllMainCRTStartup(HINSTANCE, DWORD, LPVOID) { return TRUE; }
