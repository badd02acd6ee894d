#include "tools/fccpack/Commands.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <thread>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"
#include "payload/EntryNames.h"
#include "rtl/SysUtils.h"
#include "tools/fccpack/Bzip2Writer.h"
#include "tools/fccpack/ContainerScan.h"
#include "tools/fccpack/HostFiles.h"
#include "tools/fccpack/PayloadSource.h"

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

// The decoding threads: one per processor, up to four. Each holds about 4.5 MiB for a block
// of level 9 and its bytes, and one thread writes everything in order anyway: four keep a run
// of any size well within 64 MiB, whatever the machine.
constexpr unsigned MostDecoders = 4;

unsigned Decoders() {
  const unsigned processors = std::thread::hardware_concurrency();
  return std::clamp(processors, 1u, MostDecoders);
}

// Streams the payload of PayloadPath (a payload file or an installer) through the decoder
// into Visitor, and checks the container as the installer will read it: the stream's faults
// first, since the installer decompresses it whole before it reads the container, then the
// container's. Returns the directory.
payload::TArchiveDirectory Scan(const std::string& payloadPath, TContainerVisitor& visitor) {
  TInputFile file(payloadPath);
  const TFileRange range = FindPayload(file);
  if (range.Size == 0) Fault(payloadPath + ": the file is empty; a payload is one bzip2 stream");
  TPayloadSource source(file, range.Begin, range.Size);
  TContainerScanner scanner(visitor);
  try {
    payload::DecodeStream(source, scanner, {.Decoders = Decoders(), .Pump = {}});
  } catch (const payload::EBzip2Error& e) {
    Fault(payloadPath + ": " + StreamProblem(e.Code()));
  }
  const TContainerFault fault = scanner.Finish();
  const payload::TArchiveDirectory& directory = scanner.Directory();
  const auto entry = [&] {
    return EntryLabel(fault.Entry, directory[fault.Entry].Name.str());
  };
  switch (fault.Kind) {
    case TContainerFault::None:
      break;
    case TContainerFault::NegativeCount:
      Fault(payloadPath + ": the entry count is negative; the installer stops with a range error");
    case TContainerFault::DirectoryCut:
      Fault(payloadPath + ": the container (" + std::to_string(scanner.Total()) +
            " bytes) is cut short in its directory; the installer stops with a read error");
    case TContainerFault::NegativeSize:
      Fault(payloadPath + ": " + entry() + " has a negative size (" +
            std::to_string(directory[fault.Entry].Size) +
            "); the installer stops there with a read error");
    case TContainerFault::ContentsCut:
      Fault(payloadPath + ": " + entry() + " is " + std::to_string(directory[fault.Entry].Size) +
            " bytes long, but the container holds only " + std::to_string(fault.Held) +
            " more; the installer stops there with a read error");
    case TContainerFault::BytesAfter:
      Fault(payloadPath + ": " + std::to_string(fault.Held) +
            " bytes follow the last entry's contents; the data area must hold exactly the sizes");
  }
  return directory;
}

struct TExamined {
  payload::TArchiveDirectory Directory;
  std::uint64_t ContentBytes = 0;
  std::vector<std::string> Warnings;
};

// Counts the contents as they pass.
class TCounter : public TContainerVisitor {
 public:
  void Contents(std::size_t, const char*, std::size_t count) override { Bytes += count; }
  void Restart() override { Bytes = 0; }
  std::uint64_t Bytes = 0;
};

// Everything that the installer will meet in a payload, checked before anything is written.
TExamined Examine(const std::string& payloadPath) {
  TCounter counter;
  TExamined result;
  result.Directory = Scan(payloadPath, counter);
  result.ContentBytes = counter.Bytes;
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

// The pieces files are read in while they are packed.
constexpr std::size_t PackPiece = std::size_t(1) << 20;

// A 64-bit FNV-1a hash of bytes and their count: what was packed against what reads back.
class THash {
 public:
  void Add(std::string_view data) {
    for (const unsigned char c : data) FValue = (FValue ^ c) * 0x100000001B3ull;
    FBytes += data.size();
  }
  std::uint64_t Bytes() const { return FBytes; }
  friend bool operator==(const THash&, const THash&) = default;

 private:
  std::uint64_t FValue = 0xCBF29CE484222325ull;
  std::uint64_t FBytes = 0;
};

class THashSink : public payload::TByteSink {
 public:
  void Write(const char* data, std::size_t count) override { Hash.Add({data, count}); }
  void Rewind() override { Hash = {}; }
  THash Hash;
};

// Writes each entry into its file in Folder as its contents stream past.
class TExtractor : public TContainerVisitor {
 public:
  TExtractor(const std::string& folder, const std::vector<std::string>& hostNames)
      : FFolder(folder), FHostNames(hostNames) {}
  void EntryBegin(std::size_t index) override {
    FFile = std::make_unique<TOutputFile>(FFolder, FHostNames.at(index));
  }
  void Contents(std::size_t, const char* data, std::size_t count) override {
    FFile->Write({data, count});
  }
  void EntryEnd(std::size_t) override {
    FFile->Close();
    FFile.reset();
  }
  void Restart() override { FFile.reset(); }

 private:
  const std::string& FFolder;
  const std::vector<std::string>& FHostNames;
  std::unique_ptr<TOutputFile> FFile;
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

  // The directory goes first, so every size is known before any contents are read.
  std::string directory;
  payload::AppendInt32(directory, std::int32_t(items.size()));
  std::vector<std::uint64_t> sizes;
  for (const TItem& item : items) {
    const std::uint64_t size = FileSize(item.HostPath);
    if (size > std::uint64_t(std::numeric_limits<std::int32_t>::max()))
      Fault(item.HostPath + ": larger than an entry can be (2 GiB - 1 bytes)");
    sizes.push_back(size);
    directory += static_cast<char>(item.Name.size());
    directory += item.Name;
    payload::AppendInt32(directory, std::int32_t(size));
  }

  TReplacement output(options.Output);
  std::uint64_t packedBytes = 0;
  TBzip2Writer writer(BlockSize, [&](std::string_view piece) {
    output.Write(piece);
    packedBytes += piece.size();
  });
  THash hash;
  const auto add = [&](std::string_view data) {
    hash.Add(data);
    writer.Add(data);
  };
  add(directory);
  const auto piece = std::make_unique_for_overwrite<char[]>(PackPiece);
  for (std::size_t i = 0; i < items.size(); ++i) {
    TInputFile file(items[i].HostPath);
    for (std::uint64_t done = 0; done < sizes[i];) {
      const std::size_t n =
          file.ReadAt(done, piece.get(), std::size_t(std::min<std::uint64_t>(PackPiece, sizes[i] - done)));
      if (n == 0) Fault(items[i].HostPath + ": became shorter while it was packed");
      add({piece.get(), n});
      done += n;
    }
    char more = 0;
    if (file.ReadAt(sizes[i], &more, 1) != 0)
      Fault(items[i].HostPath + ": became longer while it was packed");
  }
  writer.Finish();
  output.Close();

  // The installer will read it with the same code: read it back before it takes its place.
  {
    TInputFile back(output.TemporaryPath());
    TPayloadSource source(back, 0, back.Size());
    THashSink sink;
    try {
      payload::DecodeStream(source, sink, {.Decoders = Decoders(), .Pump = {}});
    } catch (const payload::EBzip2Error&) {
      Fault("the packed stream does not read back");
    }
    if (!(sink.Hash == hash)) Fault("the packed stream does not read back");
  }
  output.Commit();
  out << options.Output << ": " << items.size() << " entries, " << hash.Bytes()
      << " bytes in the container, " << packedBytes << " bytes compressed\n";
}

void List(const std::string& payloadPath, std::ostream& out) {
  TContainerVisitor nothing;
  for (const payload::TArchiveEntry& entry : Scan(payloadPath, nothing)) {
    const std::string shown = Shown(entry.Name.str());
    out << shown.substr(1, shown.size() - 2) << '\t' << entry.Size << '\n';
  }
}

void Verify(const std::string& payloadPath, std::ostream& out, std::ostream& err) {
  const TExamined examined = Examine(payloadPath);
  for (const std::string& warning : examined.Warnings) {
    err << "fccpack: " << payloadPath << ": warning: " << warning << '\n';
  }
  out << payloadPath << ": ok, " << examined.Directory.size() << " entries, "
      << examined.ContentBytes << " bytes of contents\n";
}

void Extract(const std::string& payloadPath, const std::string& folder, std::ostream& out) {
  // The whole payload is checked first, and decoded a second time to be written: a faulty
  // payload writes nothing, and no entry is ever held whole.
  const TExamined examined = Examine(payloadPath);
  std::vector<std::string> hostNames;
  for (std::size_t i = 0; i < examined.Directory.size(); ++i) {
    const std::string& name = examined.Directory[i].Name.str();
    if (payload::IsPathName(name)) {
      Fault(payloadPath + ": " + EntryLabel(i, name) +
            " is a path name; extract writes plain names only, nothing written");
    }
    const std::optional<std::string> host = AnsiToHost(name);
    if (!host) Fault(EntryLabel(i, name) + ": no host name for it, nothing written");
    hostNames.push_back(*host);
  }
  MakeFolder(folder);
  TExtractor extractor(folder, hostNames);
  if (Scan(payloadPath, extractor) != examined.Directory)
    Fault(payloadPath + ": changed while it was read; the files written may not match it");
  out << folder << ": " << examined.Directory.size() << " entries written\n";
}

}  // namespace fccpack
