// The archive unpacker: a payload file (one bzip2 stream) is decompressed into a temporary
// container beside it, every entry of the container is written to its own file under a
// progress window, and the temporary container is deleted. Failures are the run-time's
// errors and travel to the caller; what was written stays on disk.
#pragma once

#include "payload/UnpackReporter.h"
#include "rtl/ShortString.h"
#include "ui/Win32.h"

namespace payload {

// Unpacks the payload file ArchivePath with the program's own windows.
void UnpackArchive(const rtl::ShortString& archivePath);
void UnpackArchive(const rtl::ShortString& archivePath, TUnpackReporter& reporter);
// The same, reading the payload through Archive, a handle open on the file ArchivePath with
// read access that its caller keeps; the file is not opened again by its name. ArchivePath
// holds its folder: the container and the entries go there.
void UnpackArchive(const rtl::ShortString& archivePath, HANDLE archive);
void UnpackArchive(const rtl::ShortString& archivePath, HANDLE archive,
                   TUnpackReporter& reporter);

// Decompresses the bzip2 file Source into the file Dest (created or replaced).
void DecompressFile(const rtl::ShortString& source, const rtl::ShortString& dest);

// Writes every entry of the container file ContainerPath.
void ExtractFiles(const rtl::ShortString& containerPath);
void ExtractFiles(const rtl::ShortString& containerPath, TUnpackReporter& reporter);

// The program's windows: the progress window and the message box.
TUnpackReporter& ProgramReporter();

}  // namespace payload
