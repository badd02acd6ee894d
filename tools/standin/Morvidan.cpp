// Morvidan.exe of the demo payload: a stand-in for the invoicing application. It opens a
// window titled "Morvidan © Sorbiane", lists the invoices found in the data files beside it
// and shows how it was started; it also notes its command line and folder in
// "lancement.txt" beside itself, so that a test can see how the installer started it.
#include <windows.h>

#include <string>
#include <vector>

namespace {

const char* const Title = "Morvidan © Sorbiane";

std::string ProgramFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\'));
}

std::string CurrentFolder() {
  char path[MAX_PATH] = {};
  GetCurrentDirectoryA(MAX_PATH, path);
  return path;
}

std::string ReadFile(const std::string& name) {
  std::string content;
  HANDLE file = CreateFileA(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) return content;
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
    content.append(buffer, read);
  CloseHandle(file);
  return content;
}

void WriteFile(const std::string& name, const std::string& content) {
  HANDLE file = CreateFileA(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  ::WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
}

// Every line "FACTURE;number;customer;date;amount" of the data files (*.QVF, any case).
std::vector<std::string> Invoices(const std::string& folder) {
  std::vector<std::string> lines;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*.qvf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return lines;
  do {
    const std::string content = ReadFile(folder + "\\" + found.cFileName);
    for (std::size_t from = 0, end; from < content.size(); from = end + 1) {
      end = content.find('\n', from);
      if (end == std::string::npos) end = content.size();
      std::string line = content.substr(from, end - from);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("FACTURE;", 0) != 0) continue;
      std::string shown = line.substr(8);
      for (char& c : shown)
        if (c == ';') c = '\t';
      lines.push_back(std::string(found.cFileName) + "\t" + shown);
    }
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return lines;
}

LRESULT CALLBACK WindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SIZE) {
    if (HWND list = GetDlgItem(wnd, 1)) MoveWindow(list, 0, 0, LOWORD(lp), HIWORD(lp), TRUE);
    return 0;
  }
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::string folder = ProgramFolder();
  const std::string commandLine = GetCommandLineA();
  WriteFile(folder + "\\lancement.txt",
            "ligne de commande=" + commandLine + "\r\ndossier=" + CurrentFolder() + "\r\n");

  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "TMorvidan";
  RegisterClassA(&wc);
  // Shown normally whatever the caller asked: the installer starts it with a hidden window.
  HWND wnd = CreateWindowExA(0, "TMorvidan", Title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 80, 60, 560,
                             360, nullptr, nullptr, instance, nullptr);
  HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_USETABSTOPS | LBS_NOSEL, 0,
                              0, 0, 0, wnd, reinterpret_cast<HMENU>(1), instance, nullptr);
  SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  // Columns wide enough for the longest file and client names (in dialog units).
  INT columns[] = {90, 140, 225, 275};
  SendMessageA(list, LB_SETTABSTOPS, std::size(columns), reinterpret_cast<LPARAM>(columns));
  auto add = [list](const std::string& line) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  };
  add("Ligne de commande : " + commandLine);
  add("Dossier : " + CurrentFolder());
  const std::vector<std::string> invoices = Invoices(folder);
  add(std::to_string(invoices.size()) + " factures de démonstration :");
  for (const std::string& line : invoices) add("  " + line);
  RECT client;
  GetClientRect(wnd, &client);
  MoveWindow(list, 0, 0, client.right, client.bottom, TRUE);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
