/* What another program of the machine can do to a file through Windows calls, which obey the
   sharing rules of open handles as a Linux mv does not. Prints "ok" or "error <code>" and exits
   0 or 1.
     winfile move <from> <to>       MoveFileExA, replacing
     winfile copy <from> <to>       CopyFileA, replacing
     winfile write <path>           opens for writing, sharing everything, and writes a byte
     winfile delete <path>          DeleteFileA
     winfile attributes <path>      prints the attributes in hex
     winfile hold <path> <flag>     holds the file open for writing, shared with nobody, while
                                    the file <flag> exists (as a running program holds its
                                    executable)
     winfile load <dll>...          LoadLibraryA by bare name, as any program may
     winfile narrowed-load <dll>... the same after SetDefaultDllDirectories(system folder) */
#include <stdio.h>
#include <string.h>
#include <windows.h>

static int Report(BOOL ok) {
  if (ok) {
    printf("ok\n");
    return 0;
  }
  printf("error %lu\n", GetLastError());
  return 1;
}

int main(int argc, char** argv) {
  if (argc >= 4 && !strcmp(argv[1], "move"))
    return Report(MoveFileExA(argv[2], argv[3], MOVEFILE_REPLACE_EXISTING));
  if (argc >= 4 && !strcmp(argv[1], "copy")) return Report(CopyFileA(argv[2], argv[3], FALSE));
  if (argc >= 3 && !strcmp(argv[1], "write")) {
    HANDLE f = CreateFileA(argv[2], GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                           OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return Report(FALSE);
    DWORD put = 0;
    BOOL ok = WriteFile(f, "X", 1, &put, NULL);
    CloseHandle(f);
    return Report(ok);
  }
  if (argc >= 3 && !strcmp(argv[1], "delete")) return Report(DeleteFileA(argv[2]));
  if (argc >= 3 && !strcmp(argv[1], "attributes")) {
    DWORD a = GetFileAttributesA(argv[2]);
    if (a == INVALID_FILE_ATTRIBUTES) return Report(FALSE);
    printf("%08lx\n", a);
    return 0;
  }
  if (argc >= 4 && !strcmp(argv[1], "hold")) {
    HANDLE f = CreateFileA(argv[2], GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (f == INVALID_HANDLE_VALUE) return Report(FALSE);
    printf("held\n");
    fflush(stdout);
    while (GetFileAttributesA(argv[3]) != INVALID_FILE_ATTRIBUTES) Sleep(100);
    CloseHandle(f);
    return Report(TRUE);
  }
  if (argc >= 3 && !strcmp(argv[1], "narrowed-load")) {
    typedef BOOL(WINAPI * TSet)(DWORD);
    TSet set = (TSet)(void*)GetProcAddress(GetModuleHandleA("kernel32.dll"),
                                           "SetDefaultDllDirectories");
    if (!set || !set(0x800)) return Report(FALSE);
    argv[1] = "load";
  }
  if (argc >= 3 && !strcmp(argv[1], "load")) {
    int failed = 0;
    for (int i = 2; i < argc; ++i)
      if (!LoadLibraryA(argv[i])) failed = 1;
    return Report(!failed);
  }
  fprintf(stderr, "usage: winfile move|copy|write|delete|attributes|hold|load ...\n");
  return 2;
}
