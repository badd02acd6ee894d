// The host's files as fccpack sees them. On Linux file names are UTF-8 and are converted to
// and from the payload's Windows-1252; on Windows they are ANSI (code page 1252) already.
#pragma once

#include <cstdint>
#include <memory>
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
// The size of a file, as the folder lists it.
std::uint64_t FileSize(const std::string& path);
// Creates the folder when it does not exist (its parent must).
void MakeFolder(const std::string& path);
// Renames From to To, replacing To.
void MoveOver(const std::string& from, const std::string& to);
// Deletes a file, if it is there; a failure is no error.
void DeleteQuietly(const std::string& path);
bool SameFile(const std::string& a, const std::string& b);

// A file read in pieces from any place, by any thread: a payload or an installer of any size
// is never held whole.
class TInputFile {
 public:
  explicit TInputFile(const std::string& path);
  ~TInputFile();
  TInputFile(const TInputFile&) = delete;
  TInputFile& operator=(const TInputFile&) = delete;

  const std::string& Path() const { return FPath; }
  std::uint64_t Size() const { return FSize; }
  // Reads up to Count bytes from Offset; fewer only at the end of the file.
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count);

 private:
  struct THandle;
  std::string FPath;
  std::unique_ptr<THandle> FHandle;
  std::uint64_t FSize = 0;
};

// A file written in pieces. Unless Close is reached, the file is closed and left as it is.
class TOutputFile {
 public:
  // Creates or replaces Path.
  explicit TOutputFile(const std::string& path);
  // Creates or replaces the file Name inside Folder; a symbolic link of that name is refused,
  // so nothing lands outside Folder.
  TOutputFile(const std::string& folder, const std::string& name);
  ~TOutputFile();
  TOutputFile(const TOutputFile&) = delete;
  TOutputFile& operator=(const TOutputFile&) = delete;

  void Write(std::string_view data);
  void Close();

 private:
  struct THandle;
  std::string FPath;
  std::unique_ptr<THandle> FHandle;
};

// Path written anew through a temporary file beside it, which takes Path's place on Commit:
// until then, and on any failure, an earlier file at Path stays as it was, and the temporary
// file is deleted.
class TReplacement {
 public:
  explicit TReplacement(const std::string& path);
  ~TReplacement();
  TReplacement(const TReplacement&) = delete;
  TReplacement& operator=(const TReplacement&) = delete;

  const std::string& TemporaryPath() const { return FTemporary; }
  void Write(std::string_view data) { FFile->Write(data); }
  // Closes the temporary file, so that it can be read back before Commit.
  void Close();
  void Commit();

 private:
  std::string FPath, FTemporary;
  std::unique_ptr<TOutputFile> FFile;
  bool FClosed = false, FCommitted = false;
};

std::string JoinPath(const std::string& folder, const std::string& name);
std::string BaseName(const std::string& path);

// A host file name as an entry name, and back.
std::optional<std::string> HostToAnsi(const std::string& name);
std::optional<std::string> AnsiToHost(const std::string& name);

}  // namespace fccpack
