#include "payload/UConcatene.h"

#include <functional>
#include <memory>
#include <vector>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"
#include "payload/UnpackRules.h"
#include "payload/UnpackStreams.h"
#include "payload/UntypedFile.h"
#include "rtl/Paths.h"
#include "rtl/SysUtils.h"
#include "ui/Application.h"
#include "ui/GdiObjects.h"
#include "util/FileUtils.h"

namespace payload {

namespace {

// The pieces an entry is copied in, from the container to its file: small enough to come
// from the process's own heap rather than from memory the system hands out anew.
constexpr std::size_t EntryPiece = std::size_t(1) << 18;

}  // namespace

const std::function<void()> Pump = [] { ui::Application.ProcessMessages(); };

void UnpackArchive(const rtl::ShortString& archivePath, HANDLE archive) {
  UnpackArchive(archivePath, archive, ProgramReporter());
}

void UnpackArchive(const rtl::ShortString& archivePath, HANDLE archive,
                   TUnpackReporter& reporter) {
  const rtl::ShortString container = ContainerPathFor(archivePath);
  TFileSource input(archive);
  TContainerSink output(container);
  DecodeStream(input, output, {.Decoders = 0, .Pump = Pump});
  ExtractOpened(container, output.Finish(), reporter);
  DeleteFileA(container.c_str());  // a temporary file left behind is no failure
}

void ExtractOpened(const rtl::ShortString& containerPath, TUntypedFile container,
                   TUnpackReporter& reporter) {
  const rtl::ShortString folder = FolderPart(containerPath);
  util::CreateFolderChain(folder);

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
