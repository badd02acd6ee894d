/* A DLL that only notes that it was loaded: c:\markers\<its file name> is created the moment
   a process maps it. Copies of it, named like DLLs that the program or the system load by bare
   name, are planted beside the installer to see whether any is taken from there. */
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID reserved) {
  (void)reserved;
  if (reason == DLL_PROCESS_ATTACH) {
    char path[MAX_PATH], mark[MAX_PATH + 16] = "c:\\markers\\";
    DWORD n = GetModuleFileNameA(self, path, MAX_PATH);
    const char* name = path;
    for (DWORD i = 0; i < n; ++i)
      if (path[i] == '\\') name = path + i + 1;
    lstrcatA(mark, name);
    CreateDirectoryA("c:\\markers", NULL);
    HANDLE file = CreateFileA(mark, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  }
  return TRUE;
}
