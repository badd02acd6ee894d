#include "payload/UConcatene.h"

#include <functional>
#include <memory>
#include <vector>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"
#include "payload/UnpackRules.h"
#include "payload/UntypedFile.h"
#include "rtl/Paths.h"
#include "rtl/SysUtils.h"
#include "ui/Application.h"
#include "ui/GdiObjects.h"
#include "util/FileUtils.h"

namespace payload {

namespace {

constexpr std::int32_t MissingFileWait = 1000;

// A current folder too long for the buffer would give no folder, and the payload file would
// be looked for in the root of the drive.
rtl::ShortString CurrentFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  if (n >= sizeof buffer) throw rtl::EInOutError(rtl::PathTooLong);
  return rtl::CheckedPath(std::string_view(buffer, n));
}

// The pieces an entry is copied in, from the container to its file: small enough to come
// from the process's own heap rather than from memory the system hands out anew.
constexpr std::size_t EntryPiece = std::size_t(1) << 18;

// The window loop, kept going through long work.
const std::function<void()> Pump = [] { ui::Application.ProcessMessages(); };

// The payload file, read a piece at a time. Reads at a place of their own go through a second
// handle, whose file pointer nobody else uses: on a handle opened without overlapped reads,
// such a read moves the pointer that the reads in order go on from.
class TFileSource : public TByteSource {
 public:
  explicit TFileSource(const rtl::ShortString& path) : FFile(Open(path)), FAt(Open(path)) {}
  std::size_t Read(char* buffer, std::size_t count) override {
    DWORD got = 0;
    ui::CheckOS(ReadFile(FFile.Get(), buffer, static_cast<DWORD>(count), &got, nullptr));
    return got;
  }
  void Seek(std::uint64_t offset) override {
    LARGE_INTEGER at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    ui::CheckOS(SetFilePointerEx(FFile.Get(), at, nullptr, FILE_BEGIN));
  }
  std::size_t ReadAt(std::uint64_t offset, char* buffer, std::size_t count) override {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(FAt.Get(), buffer, static_cast<DWORD>(count), &got, &at)) {
      if (GetLastError() == ERROR_HANDLE_EOF) return 0;
      ui::CheckOS(false);
    }
    return got;
  }

 private:
  static HANDLE Open(const rtl::ShortString& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) throw rtl::EFOpenError(path.str());
    return file;
  }

  ui::TFileHandle FFile, FAt;
};

// The temporary container as the decoder writes it. Unless it is closed after a clean end of
// the stream, it is deleted: a payload that fails to decompress leaves no container behind.
// Marked temporary, it stays in the system's file cache rather than being written out to a
// disk that the entries are being written to, only to be deleted a moment later.
class TContainerSink : public TByteSink {
 public:
  explicit TContainerSink(const rtl::ShortString& path)
      : FPath(path),
        FFile(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_TEMPORARY, nullptr)) {
    if (!FFile.Valid()) throw rtl::EFCreateError(path.str());
  }
  ~TContainerSink() override {
    if (!FFile.Valid()) return;
    FFile.Close();
    DeleteFileA(FPath.c_str());
  }
  void Write(const char* data, std::size_t count) override {
    DWORD put = 0;
    ui::CheckOS(WriteFile(FFile.Get(), data, static_cast<DWORD>(count), &put, nullptr));
    if (put < count) throw rtl::EInOutError(101);
  }
  void Rewind() override {
    ui::CheckOS(SetFilePointer(FFile.Get(), 0, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER);
    ui::CheckOS(SetEndOfFile(FFile.Get()));
  }
  void Close() {
    if (!FFile.Close()) {
      const DWORD code = GetLastError();
      DeleteFileA(FPath.c_str());
      throw rtl::EInOutError(static_cast<int>(code));
    }
  }

 private:
  rtl::ShortString FPath;
  ui::TFileHandle FFile;
};

}  // namespace

void UnpackArchive(const rtl::ShortString& archivePath) {
  UnpackArchive(archivePath, ProgramReporter());
}

void UnpackArchive(const rtl::ShortString& archivePath, TUnpackReporter& reporter) {
  rtl::ShortString archive = archivePath;
  // A payload file that is not there yet gets one second; then the open reports it.
  if (!util::FileExists(archive.str())) util::Delay(MissingFileWait);
  if (FolderPart(archive).empty()) archive = JoinPath(CurrentFolder(), archive);
  const rtl::ShortString container = ContainerPathFor(archive);
  DecompressFile(archive, container);
  ExtractFiles(container, reporter);
  DeleteFileA(container.c_str());  // a temporary file left behind is no failure
}

// The payload file streams through the decoder into the container, a piece at a time, while
// the windows go on answering.
void DecompressFile(const rtl::ShortString& source, const rtl::ShortString& dest) {
  TFileSource input(source);
  TContainerSink output(dest);
  DecodeStream(input, output, {.Decoders = 0, .Pump = Pump});
  output.Close();
}

void ExtractFiles(const rtl::ShortString& containerPath) {
  ExtractFiles(containerPath, ProgramReporter());
}

void ExtractFiles(const rtl::ShortString& containerPath, TUnpackReporter& reporter) {
  const rtl::ShortString folder = FolderPart(containerPath);
  util::CreateFolderChain(folder);

  TUntypedFile container = TUntypedFile::OpenRead(containerPath);
  TContainerReader reader(container);  // the whole directory, before any file is written
  const TArchiveDirectory& directory = reader.Directory();
  // Every target is built before the first entry is written: a path that does not fit stops
  // the unpacking there, with nothing written but the container.
  std::vector<rtl::ShortString> targets;
  targets.reserve(directory.size());
  for (const TArchiveEntry& entry : directory) targets.push_back(EntryTarget(folder, entry.Name));

  // Destroying the window hides and frees it, also when an error leaves this function.
  std::unique_ptr<TProgressView> progress = reporter.CreateProgress();
  progress->SetCaption(ProgressCaption + containerPath.str());
  progress->SetLabel1(ProgressTitle + containerPath.str());
  progress->SetLabel6("");
  progress->SetLabel2(DoneText);
  progress->SetPosition(0);
  progress->Show();

  const auto piece = std::make_unique_for_overwrite<char[]>(EntryPiece);
  TPacedPump paced(Pump);
  for (std::size_t i = 0; i < directory.size(); ++i) {
    const TArchiveEntry& entry = directory[i];
    progress->SetLabel6(ProgressEntry + entry.Name.str());
    // An interruption is asked for by the window and always refused: the files already
    // written and those still to come belong to one installation.
    if (progress->Label2() == InterruptionMark) {
      reporter.ShowMessageBox(RefusalTitle, RefusalText, RefusalButtons, 0);
    }
    progress->SetLabel2(DoneText);
    progress->SetPosition(ProgressPercent(i + 1, directory.size()));

    const rtl::ShortString& target = targets[i];
    util::CreateFolderChain(FolderPart(target));
    TUntypedFile output = TUntypedFile::Create(target);
    // The size is checked against what the container still holds before anything is read;
    // the contents then go through one piece of memory, whatever their size.
    reader.CopyNextEntry({piece.get(), EntryPiece}, [&](const char* data, std::size_t n) {
      output.Write(data, n);
      paced.Tick();
    });
    output.Close();
  }

  progress->SetLabel2(DoneText);
  progress->Hide();
  progress.reset();
  container.Close();
}

}  // namespace payload
