// The host's files as fccpack sees them. On Linux file names are UTF-8 and are converted to
// and from the payload's Windows-1252; on Windows they are ANSI (code page 1252) already.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fccpack {

// Exit codes a script can rely on.
enum TExit : int {
  ExitOk = 0,
  ExitFault = 1,  // the payload or the input is faulty
  ExitUsage = 2,  // wrong command line
  ExitIo = 3,     // a file could not be read or written
};

// A failure that ends the tool with its exit code and a message.
struct TToolError {
  TExit Code;
  std::string Message;
};

enum class TKind { Missing, File, Folder, Other };

TKind KindOf(const std::string& path);
// The names in a folder, without "." and "..", in byte order.
std::vector<std::string> ListFolder(const std::string& path);
std::string ReadWholeFile(const std::string& path);
// Writes Data to Path through a temporary file beside it, so that a failure leaves any
// earlier file at Path as it was.
void WriteFileAtomically(const std::string& path, std::string_view data);
// Creates or replaces the file Name inside Folder; a symbolic link of that name is refused,
// so nothing lands outside Folder.
void WriteFileInFolder(const std::string& folder, const std::string& name, std::string_view data);
// Creates the folder when it does not exist (its parent must).
void MakeFolder(const std::string& path);
bool SameFile(const std::string& a, const std::string& b);

std::string JoinPath(const std::string& folder, const std::string& name);
std::string BaseName(const std::string& path);

// A host file name as an entry name, and back.
std::optional<std::string> HostToAnsi(const std::string& name);
std::optional<std::string> AnsiToHost(const std::string& name);

}  // namespace fccpack
