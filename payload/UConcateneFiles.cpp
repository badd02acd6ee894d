// The unpacker on files named by their paths, as the tests and the benchmark call it: the
// program hands over the handles it wrote with, and carries none of this.
#include "payload/UConcatene.h"

#include "bzip2/Bzip2.h"
#include "payload/UnpackRules.h"
#include "payload/UnpackStreams.h"
#include "rtl/Paths.h"
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

}  // namespace

ui::TFileHandle OpenPayload(const rtl::ShortString& path) {
  ui::TFileHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.Valid()) throw rtl::EFOpenError(path.str());
  return file;
}

void UnpackArchive(const rtl::ShortString& archivePath) {
  UnpackArchive(archivePath, ProgramReporter());
}

void UnpackArchive(const rtl::ShortString& archivePath, TUnpackReporter& reporter) {
  // A payload file that is not there yet gets one second; then the open reports it.
  if (!util::FileExists(archivePath.str())) util::Delay(MissingFileWait);
  const ui::TFileHandle file = OpenPayload(archivePath);
  // A bare name is the current folder's: the container and the entries go there too.
  rtl::ShortString path = archivePath;
  if (FolderPart(path).empty()) path = JoinPath(CurrentFolder(), path);
  UnpackArchive(path, file.Get(), reporter);
}

// The payload file streams through the decoder into the container, a piece at a time, while
// the windows go on answering.
void DecompressFile(const rtl::ShortString& source, const rtl::ShortString& dest) {
  const ui::TFileHandle file = OpenPayload(source);
  TFileSource input(file.Get());
  TContainerSink output(dest);
  DecodeStream(input, output, {.Decoders = 0, .Pump = Pump});
  output.Close();
}

void ExtractFiles(const rtl::ShortString& containerPath) {
  ExtractFiles(containerPath, ProgramReporter());
}

void ExtractFiles(const rtl::ShortString& containerPath, TUnpackReporter& reporter) {
  util::CreateFolderChain(FolderPart(containerPath));
  ExtractOpened(containerPath, TUntypedFile::OpenRead(containerPath), reporter);
}

}  // namespace payload
