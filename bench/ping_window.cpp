// How long the wizard takes to answer, measured from a second program as the system measures
// it before it calls a window "not responding": a message sent to the window, and the time
// until the window's thread has handled it. Pings the wizard (the program's window with an
// empty caption) every 10 ms until the stop file appears or the window goes, then writes
// "<longest answer in ms> <pings>" to the result file.
//   ping_window <stop file> <result file>
#include <algorithm>
#include <cstdio>
#include <string>

#include "ui/Win32.h"

namespace {

double Milliseconds() {
  LARGE_INTEGER t, f;
  QueryPerformanceCounter(&t);
  QueryPerformanceFrequency(&f);
  return 1000.0 * double(t.QuadPart) / double(f.QuadPart);
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  HWND wizard = nullptr;
  for (int i = 0; i < 3000 && !wizard; ++i) {
    wizard = FindWindowA("TUIWindow", "");
    if (!wizard) Sleep(10);
  }
  if (!wizard) return 1;
  double longest = 0;
  long pings = 0;
  while (!Exists(argv[1]) && IsWindow(wizard)) {
    const double start = Milliseconds();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(wizard, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer)) break;
    longest = std::max(longest, Milliseconds() - start);
    ++pings;
    Sleep(10);
  }
  FILE* out = std::fopen(argv[2], "w");
  if (!out) return 1;
  std::fprintf(out, "%.1f %ld\n", longest, pings);
  std::fclose(out);
  return 0;
}
