// The program's entry: the message box window first, then the application object, one wizard
// window as the main window, and the message loop until the application is told to end.
#include "dialogs/UBM.h"
#include "installer/UInstall.h"
#include "ui/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  try {
    dialogs::CreateMessageBoxWindow();
    ui::Application.Initialize();
    ui::Application.CreateForm(installer::Form1);
    ui::Application.Run();
  } catch (...) {
    ui::Application.HandleException();
  }
  // The windows go while the rest of the program is still whole, before the static objects.
  ui::Application.DestroyComponents();
  return 0;
}
