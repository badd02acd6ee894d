// The desktop shortcut: TShortcutLink writes one shell shortcut (.lnk) through the shell's
// own shell-link object; DesktopShortcut finds the desktop, completes the arguments and
// leaves an existing shortcut alone.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "rtl/ShortString.h"
#include "rtl/SysUtils.h"
#include "ui/Controls.h"

namespace util {

// Initialises COM on the calling thread (the main one) for the rest of the program; later
// calls do nothing. The program calls it as it starts; the shortcut calls it too.
void StartCom();

class EShortcutError : public rtl::Exception {
public:
  using rtl::Exception::Exception;
};

enum TShowCmd { scShowMaximized = 0, scShowMinimized = 1, scShowNormal = 2 };

// A non-visual component: its owner, when it has one, frees it.
class TShortcutLink : public ui::TComponent {
public:
  explicit TShortcutLink(ui::TComponent* owner = nullptr) : ui::TComponent(owner) {}

  std::string ShortcutFile;
  std::string Target;
  std::string WorkingDir;
  std::string Description;
  std::string Arguments;
  std::string IconLocation;
  std::uint16_t IconNumber = 0;

  // One character, upper-cased (a to z only); an empty text or a character below the space
  // gives the space, which means no hot key.
  std::string HotKey() const;
  void SetHotKey(const std::string& key);
  // Kept as the shell's show value: maximised 3, minimised 7, normal 9 (restore).
  TShowCmd ShowCmd() const;
  void SetShowCmd(TShowCmd cmd);
  int ShowValue() const { return FShowCmd; }
  std::uint16_t HotKeyCode() const { return FHotKey; }

  // Writes ShortcutFile; raises EShortcutError "Unable to create .lnk file" when the shell
  // cannot save it.
  void SaveLink() const;

private:
  std::uint16_t FHotKey = 0;
  int FShowCmd = 0;
};

// Leaves a shortcut named Name on the current user's desktop, unless a file of that name is
// already there. The description and the arguments are texts, cut to 255 characters; the
// paths (Name, Target, WorkingDir, IconFile, and the shortcut's file and target as they are
// completed) are never cut: one longer than 255 characters raises the file error (206) before
// anything is written.
void DesktopShortcut(std::string_view name, std::string_view target, std::string_view workingDir,
                     const rtl::ShortString& description, const rtl::ShortString& arguments,
                     std::string_view iconFile, std::uint16_t iconNumber, char hotKey);

// The folder part of a path: everything before its last backslash, that backslash kept only
// right after a drive colon (c:\x.exe gives c:\, c:\a\x.exe gives c:\a).
std::string FolderOf(const std::string& path);

// The desktop folder from the current user's "Shell Folders" key; empty when missing.
std::string DesktopFolder();

}  // namespace util
