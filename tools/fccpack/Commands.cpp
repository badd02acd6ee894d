#include "tools/fccpack/Commands.h"

#include <map>
#include <memory>
#include <optional>
#include <ostream>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"
#include "payload/EntryNames.h"
#include "rtl/SysUtils.h"
#include "tools/fccpack/HostFiles.h"

namespace fccpack {

namespace {

constexpr int BlockSize = 9;
// An entry's path may not pass 255 characters: the installer stops with an error rather than
// cut it. A plain name should leave this much for the installation folder, which the user may
// choose deeper than "c:\Morvidan" (the update folder "c:\Morvidan\MAJ" takes 15 already).
constexpr std::size_t FolderRoom = 40;
constexpr std::size_t MaxPath = 255;
// What an update puts into a path name: "MAJ\".
constexpr std::size_t UpdateInsertion = 4;

// Why a name that travels may still fail to install, or "" when it leaves room enough.
std::string RoomProblem(const std::string& name) {
  if (payload::IsPathName(name)) {
    if (name.size() + UpdateInsertion <= MaxPath) return {};
    return "is a path of " + std::to_string(name.size()) +
           " characters; an update puts \"MAJ\\\" into it, which takes it past 255, and the "
           "installer stops there with an error";
  }
  const std::size_t room = name.size() < MaxPath ? MaxPath - 1 - name.size() : 0;
  if (room >= FolderRoom) return {};
  return "leaves " + std::to_string(room) +
         " characters for the installation folder (name, folder and backslash may not pass "
         "255); installed into a deeper folder, the installer stops with an error";
}

[[noreturn]] void Fault(const std::string& message) {
  throw TToolError{ExitFault, message};
}

// A name for messages: the host's encoding, with control bytes and bytes that have no
// character shown as \xNN.
std::string Shown(const std::string& ansi) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : ansi) {
    const std::optional<std::string> host = AnsiToHost(std::string(1, char(c)));
    if (c < 0x20 || !host) {
      out += std::string("\\x") + hex[c >> 4] + hex[c & 15];
    } else {
      out += *host;
    }
  }
  return "\"" + out + "\"";
}

std::string EntryLabel(std::size_t index, const std::string& name) {
  return "entry " + std::to_string(index + 1) + " " + Shown(name);
}

std::string StreamProblem(int code) {
  const std::string error = " (the installer stops with \"error " + std::to_string(code) + "\")";
  switch (code) {
    case -1:
      return "bytes follow the end of the bzip2 stream" + error;
    case -4:
      return "the bzip2 stream is corrupt" + error;
    case -5:
      return "the file is not a bzip2 stream" + error;
    case -7:
      return "the bzip2 stream is cut short" + error;
    default:
      return "the bzip2 stream cannot be decompressed" + error;
  }
}

std::string Decompress(const std::string& payloadPath) {
  const std::string bytes = ReadWholeFile(payloadPath);
  if (bytes.empty()) Fault(payloadPath + ": the file is empty; a payload is one bzip2 stream");
  try {
    return payload::DecompressPayload(bytes);
  } catch (const payload::EBzip2Error& e) {
    Fault(payloadPath + ": " + StreamProblem(e.Code()));
  }
}

// Opens the container with the installer's own reader, which reads the count and the
// whole directory.
std::unique_ptr<payload::TContainerReader> OpenReader(const std::string& payloadPath,
                                                      payload::TMemoryInput& input,
                                                      const std::string& container) {
  try {
    return std::make_unique<payload::TContainerReader>(input);
  } catch (const rtl::ERangeError&) {
    Fault(payloadPath + ": the entry count is negative; the installer stops with a range error");
  } catch (const rtl::EInOutError&) {
    Fault(payloadPath + ": the container (" + std::to_string(container.size()) +
          " bytes) is cut short in its directory; the installer stops with a read error");
  }
}

struct TExamined {
  payload::TArchiveDirectory Directory;
  std::vector<std::string> Contents;
  std::vector<std::string> Warnings;
};

// Everything that the installer will meet in a payload, checked before anything is written.
TExamined Examine(const std::string& payloadPath) {
  const std::string container = Decompress(payloadPath);
  TExamined result;
  payload::TMemoryInput input(container);
  const std::unique_ptr<payload::TContainerReader> reader =
      OpenReader(payloadPath, input, container);
  result.Directory = reader->Directory();
  for (std::size_t i = 0; i < result.Directory.size(); ++i) {
    const payload::TArchiveEntry& entry = result.Directory[i];
    try {
      reader->CheckNextEntry();
    } catch (const rtl::EInOutError&) {
      Fault(payloadPath + ": " + EntryLabel(i, entry.Name) +
            (entry.Size < 0 ? " has a negative size (" + std::to_string(entry.Size) + ")"
                            : " is " + std::to_string(entry.Size) +
                                  " bytes long, but the container holds only " +
                                  std::to_string(input.Remaining()) + " more") +
            "; the installer stops there with a read error");
    }
    result.Contents.emplace_back(reader->ReadNextEntry().get(), std::size_t(entry.Size));
  }
  if (input.Remaining() > 0) {
    Fault(payloadPath + ": " + std::to_string(input.Remaining()) +
          " bytes follow the last entry's contents; the data area must hold exactly the sizes");
  }
  std::string problems;
  std::map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < result.Directory.size(); ++i) {
    const std::string& name = result.Directory[i].Name.str();
    const std::string problem = payload::EntryNameProblem(name);
    if (!problem.empty()) problems += "\n  " + EntryLabel(i, name) + ": " + problem;
    const auto [at, fresh] = seen.emplace(payload::FoldCase1252(name), i);
    if (!fresh) {
      result.Warnings.push_back(EntryLabel(i, name) + " names the same file as " +
                                EntryLabel(at->second, result.Directory[at->second].Name.str()) +
                                "; the later one replaces the earlier");
    }
    const std::string room = problem.empty() ? RoomProblem(name) : "";
    if (!room.empty()) result.Warnings.push_back(EntryLabel(i, name) + " " + room);
  }
  if (!problems.empty()) Fault(payloadPath + ": names the installer cannot write:" + problems);
  return result;
}

// The --root folder as the start of path names: "c:\Morvidan" or "c:\Morvidan\" give
// "c:\Morvidan"; a drive's root "c:\" gives "c:".
std::string PathNameRoot(const std::string& root) {
  const std::optional<std::string> ansi = HostToAnsi(root);
  if (!ansi) throw TToolError{ExitUsage, "--root " + root + ": not Windows-1252 text"};
  std::string r = *ansi;
  while (!r.empty() && r.back() == '\\') r.pop_back();
  const std::string problem = payload::EntryNameProblem(r + "\\x");
  if (!problem.empty()) {
    throw TToolError{ExitUsage,
                     "--root " + root + ": not an absolute Windows folder (" + problem + ")"};
  }
  return r;
}

struct TItem {
  std::string Name;  // the entry name, Windows-1252
  std::string HostPath;
};

class TCollector {
 public:
  TCollector(const TPackOptions& options)
      : FOptions(options), FRoot(options.Root.empty() ? "" : PathNameRoot(options.Root)) {}

  void AddInput(const std::string& input) {
    switch (KindOf(input)) {
      case TKind::File:
        AddFile(input, BaseName(input), "");
        break;
      case TKind::Folder:
        AddFolder(input, "");
        break;
      case TKind::Missing:
        throw TToolError{ExitIo, "cannot read " + input + ": no such file or folder"};
      case TKind::Other:
        Fault(input + ": neither a file nor a folder");
    }
  }
  const std::vector<TItem>& Items() const { return FItems; }

 private:
  // Files first, then sub-folders, each in byte order, so that a folder always packs the
  // same way.
  void AddFolder(const std::string& folder, const std::string& relative) {
    if (relative.size() > 255) Fault(folder + ": folders nested too deep for a path name");
    std::vector<std::string> folders;
    for (const std::string& name : ListFolder(folder)) {
      const std::string path = JoinPath(folder, name);
      switch (KindOf(path)) {
        case TKind::File:
          AddFile(path, name, relative);
          break;
        case TKind::Folder:
          folders.push_back(name);
          break;
        default:
          Fault(path + ": neither a file nor a folder");
      }
    }
    for (const std::string& name : folders) {
      AddFolder(JoinPath(folder, name),
                relative.empty() ? Ansi(name, folder) : relative + "\\" + Ansi(name, folder));
    }
  }

  void AddFile(const std::string& path, const std::string& hostName, const std::string& relative) {
    if (SameFile(path, FOptions.Output)) return;  // an earlier payload in the packed folder
    const std::string name = Ansi(hostName, path);
    if (relative.empty()) {
      FItems.push_back({name, path});
      return;
    }
    if (FRoot.empty()) {
      Fault(path +
            " lies in a sub-folder; such files travel as full Windows paths: name the "
            "folder they install to with --root (for example --root 'c:\\Morvidan')");
    }
    FItems.push_back({FRoot + "\\" + relative + "\\" + name, path});
  }

  static std::string Ansi(const std::string& hostName, const std::string& where) {
    const std::optional<std::string> ansi = HostToAnsi(hostName);
    if (!ansi) Fault(where + ": the name has characters outside Windows-1252");
    return *ansi;
  }

  const TPackOptions& FOptions;
  std::string FRoot;
  std::vector<TItem> FItems;
};

}  // namespace

void Pack(const TPackOptions& options, std::ostream& out, std::ostream& err) {
  TCollector collector(options);
  for (const std::string& input : options.Inputs) collector.AddInput(input);
  const std::vector<TItem>& items = collector.Items();

  std::string problems;
  std::map<std::string, std::size_t> seen;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const std::string problem = payload::EntryNameProblem(items[i].Name);
    if (!problem.empty())
      problems += "\n  " + items[i].HostPath + " as " + Shown(items[i].Name) + ": " + problem;
    const auto [at, fresh] = seen.emplace(payload::FoldCase1252(items[i].Name), i);
    if (!fresh) {
      problems += "\n  " + items[i].HostPath + " and " + items[at->second].HostPath +
                  ": names equal when letter case is ignored (Windows would write one file)";
    }
    const std::string room = problem.empty() ? RoomProblem(items[i].Name) : "";
    if (!room.empty()) err << "fccpack: warning: " << items[i].HostPath << " " << room << '\n';
  }
  if (!problems.empty()) Fault("refused, nothing written:" + problems);

  payload::TContainerWriter writer;
  for (const TItem& item : items) {
    const std::string contents = ReadWholeFile(item.HostPath);
    try {
      writer.Add(item.Name, contents);
    } catch (const rtl::ERangeError&) {
      Fault(item.HostPath + ": larger than an entry can be (2 GiB - 1 bytes)");
    }
  }
  const std::string container = writer.Build();
  const std::string packed = payload::CompressPayload(container, BlockSize);
  // The installer will read it with the same code: read it back before it is written.
  if (payload::DecompressPayload(packed) != container)
    Fault("the packed stream does not read back");
  WriteFileAtomically(options.Output, packed);
  out << options.Output << ": " << items.size() << " entries, " << container.size()
      << " bytes in the container, " << packed.size() << " bytes compressed\n";
}

void List(const std::string& payloadPath, std::ostream& out) {
  const std::string container = Decompress(payloadPath);
  payload::TMemoryInput input(container);
  const std::unique_ptr<payload::TContainerReader> reader =
      OpenReader(payloadPath, input, container);
  for (const payload::TArchiveEntry& entry : reader->Directory()) {
    const std::string shown = Shown(entry.Name.str());
    out << shown.substr(1, shown.size() - 2) << '\t' << entry.Size << '\n';
  }
}

void Verify(const std::string& payloadPath, std::ostream& out, std::ostream& err) {
  const TExamined examined = Examine(payloadPath);
  for (const std::string& warning : examined.Warnings) {
    err << "fccpack: " << payloadPath << ": warning: " << warning << '\n';
  }
  std::size_t total = 0;
  for (const std::string& contents : examined.Contents) total += contents.size();
  out << payloadPath << ": ok, " << examined.Directory.size() << " entries, " << total
      << " bytes of contents\n";
}

void Extract(const std::string& payloadPath, const std::string& folder, std::ostream& out) {
  const TExamined examined = Examine(payloadPath);
  for (std::size_t i = 0; i < examined.Directory.size(); ++i) {
    const std::string& name = examined.Directory[i].Name.str();
    if (payload::IsPathName(name)) {
      Fault(payloadPath + ": " + EntryLabel(i, name) +
            " is a path name; extract writes plain names only, nothing written");
    }
  }
  MakeFolder(folder);
  for (std::size_t i = 0; i < examined.Directory.size(); ++i) {
    const std::string& name = examined.Directory[i].Name.str();
    const std::optional<std::string> host = AnsiToHost(name);
    if (!host) Fault(EntryLabel(i, name) + ": no host name for it");
    WriteFileInFolder(folder, *host, examined.Contents[i]);
  }
  out << folder << ": " << examined.Directory.size() << " entries written\n";
}

}  // namespace fccpack
