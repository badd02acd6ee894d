// What fccpack's files do alike on every host.
#include "tools/fccpack/HostFiles.h"

namespace fccpack {

TReplacement::TReplacement(const std::string& path)
    : FPath(path), FTemporary(path + ".fccpack-tmp") {
  FFile = std::make_unique<TOutputFile>(FTemporary);
}

TReplacement::~TReplacement() {
  if (FCommitted) return;
  FFile.reset();
  DeleteQuietly(FTemporary);
}

void TReplacement::Close() {
  if (FClosed) return;
  FFile->Close();
  FClosed = true;
}

void TReplacement::Commit() {
  Close();
  MoveOver(FTemporary, FPath);
  FCommitted = true;
}

}  // namespace fccpack
