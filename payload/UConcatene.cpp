#include "payload/UConcatene.h"

#include <memory>

#include "payload/Bzip2.h"
#include "payload/Container.h"
#include "payload/UnpackRules.h"
#include "payload/UntypedFile.h"
#include "rtl/SysUtils.h"
#include "ui/GdiObjects.h"
#include "util/FileUtils.h"

namespace payload {

namespace {

constexpr std::int32_t MissingFileWait = 1000;

rtl::ShortString CurrentFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
  return std::string_view(buffer, n < sizeof buffer ? n : 0);
}

// The whole file in one block, as a memory stream loads it.
std::unique_ptr<char[]> LoadWholeFile(const rtl::ShortString& path, std::size_t& size) {
  ui::TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw rtl::EFOpenError(path.str());
  LARGE_INTEGER length{};
  ui::CheckOS(GetFileSizeEx(file.Get(), &length));
  size = static_cast<std::size_t>(length.QuadPart);
  auto block = std::make_unique_for_overwrite<char[]>(size > 0 ? size : 1);
  std::size_t done = 0;
  while (done < size) {
    DWORD got = 0;
    const DWORD want = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
    ui::CheckOS(ReadFile(file.Get(), block.get() + done, want, &got, nullptr));
    if (got == 0) throw rtl::EInOutError(100);
    done += got;
  }
  ui::CheckOS(file.Close());
  return block;
}

void SaveWholeFile(const rtl::ShortString& path, const TBlockBuffer& data) {
  ui::TFileHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.Valid()) throw rtl::EFCreateError(path.str());
  for (std::size_t i = 0; i < data.BlockCount(); ++i) {
    const std::string_view block = data.Block(i);
    DWORD put = 0;
    ui::CheckOS(
        WriteFile(file.Get(), block.data(), static_cast<DWORD>(block.size()), &put, nullptr));
    if (put < block.size()) throw rtl::EInOutError(101);
  }
  ui::CheckOS(file.Close());
}

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

// The container is held whole in memory and written only once the stream has ended
// cleanly, so a payload that fails to decompress leaves no container behind.
void DecompressFile(const rtl::ShortString& source, const rtl::ShortString& dest) {
  TBlockBuffer output;
  {
    std::size_t size = 0;
    const std::unique_ptr<char[]> input = LoadWholeFile(source, size);
    DecompressPayload(std::span<const char>(input.get(), size), output);
  }
  SaveWholeFile(dest, output);
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

  // Destroying the window hides and frees it, also when an error leaves this function.
  std::unique_ptr<TProgressView> progress = reporter.CreateProgress();
  progress->SetCaption(ProgressCaption + containerPath.str());
  progress->SetLabel1(ProgressTitle + containerPath.str());
  progress->SetLabel6("");
  progress->SetLabel2(DoneText);
  progress->SetPosition(0);
  progress->Show();

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

    const rtl::ShortString target = EntryTarget(folder, entry.Name);
    util::CreateFolderChain(FolderPart(target));
    TUntypedFile output = TUntypedFile::Create(target);
    // The size is checked against what the container still holds before any memory is
    // taken for it; only this one entry is ever in memory.
    const std::unique_ptr<char[]> block = reader.ReadNextEntry();
    output.Write(block.get(), std::size_t(entry.Size));
    output.Close();
  }

  progress->SetLabel2(DoneText);
  progress->Hide();
  progress.reset();
  container.Close();
}

}  // namespace payload
