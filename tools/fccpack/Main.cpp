// fccpack: the maker's tool that packs files into a payload for the installer and checks
// payloads. See Usage for the commands and the exit codes.
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "rtl/SysUtils.h"
#include "tools/fccpack/Commands.h"
#include "tools/fccpack/HostFiles.h"

namespace {

const char* const Usage = R"(usage: fccpack pack [--root WINDOWS-FOLDER] PAYLOAD INPUT...
       fccpack list PAYLOAD
       fccpack verify PAYLOAD
       fccpack extract PAYLOAD DIR
       fccpack --help

Packs files into a payload for the Morvidan installer (the file "Morvidan.FCC" and the
installer's "FCC" resource): one bzip2 stream, block size 9, over a container of named
entries. Names are stored in Windows-1252. list, verify and extract also take an installer
(install.exe) for PAYLOAD, and read the payload it carries without running it. Payloads of
any size stream through in a few tens of MiB: none is ever held whole.

  pack     Writes PAYLOAD (replacing it only once it is complete). An INPUT that is a file
           travels under its own name. An INPUT that is a folder brings its files under their
           names (in byte order, files before sub-folders), and the files of its sub-folders
           as full Windows paths under --root: with --root 'c:\Morvidan', Modeles/Liste.LP
           becomes the entry c:\Morvidan\Modeles\Liste.LP, which the installer writes there
           whatever folder the user chose (on an update of c:\Morvidan, into
           c:\Morvidan\MAJ\Modeles). Without --root, files in sub-folders are refused.
           Also refused, with nothing written: empty names, names over 255 bytes,
           characters Windows file names reject, device names (CON, NUL...), names ending
           in a point or a space, and two names equal when letter case is ignored.
           Warns about a plain name that leaves less than 40 characters for the
           installation folder, and a path name too long for the "MAJ\" of an update: the
           installer refuses a path over 255 characters with an error.
  list     Prints each entry's name and size, separated by a tab, one entry a line.
  verify   Decompresses the whole payload and checks all of it as the installer will read
           it: one bzip2 stream and nothing after it, the count, the directory, every size,
           a data area that holds exactly the sizes, and every name. Prints "ok" or the
           fault; warns about names that would name the same file.
  extract  Writes every entry into DIR (created when missing, its parent must exist), once
           the whole payload has verified: a faulty payload writes nothing. Only plain
           names: a payload with path names is refused, and nothing is ever written
           outside DIR.

Exit codes: 0 done; 1 the payload, the installer or an input is faulty (nothing written);
2 wrong usage; 3 a file could not be read or written.
)";

int UsageError(const std::string& message) {
  std::cerr << "fccpack: " << message << "\n\n" << Usage;
  return fccpack::ExitUsage;
}

int Run(const std::vector<std::string>& args) {
  if (args.empty()) return UsageError("no command");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    std::cout << Usage;
    return fccpack::ExitOk;
  }
  if (command == "pack") {
    fccpack::TPackOptions options;
    std::vector<std::string> positional;
    for (std::size_t i = 1; i < args.size(); ++i) {
      if (args[i] == "--root") {
        if (i + 1 >= args.size()) return UsageError("--root needs a folder");
        options.Root = args[++i];
      } else if (args[i].starts_with("--root=")) {
        options.Root = args[i].substr(7);
      } else if (args[i] == "--") {
        positional.insert(positional.end(), args.begin() + std::ptrdiff_t(i) + 1, args.end());
        break;
      } else if (args[i].starts_with("--")) {
        return UsageError("unknown option " + args[i]);
      } else {
        positional.push_back(args[i]);
      }
    }
    if (positional.size() < 2) return UsageError("pack needs a payload and at least one input");
    options.Output = positional[0];
    options.Inputs.assign(positional.begin() + 1, positional.end());
    fccpack::Pack(options, std::cout, std::cerr);
    return fccpack::ExitOk;
  }
  if (command == "list" || command == "verify") {
    if (args.size() != 2) return UsageError(command + " needs exactly one payload");
    if (command == "list")
      fccpack::List(args[1], std::cout);
    else
      fccpack::Verify(args[1], std::cout, std::cerr);
    return fccpack::ExitOk;
  }
  if (command == "extract") {
    if (args.size() != 3) return UsageError("extract needs a payload and a folder");
    fccpack::Extract(args[1], args[2], std::cout);
    return fccpack::ExitOk;
  }
  return UsageError("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const fccpack::TToolError& e) {
    std::cerr << "fccpack: " << e.Message << '\n';
    return e.Code;
  } catch (const std::bad_alloc&) {
    std::cerr << "fccpack: out of memory\n";
    return fccpack::ExitIo;
  } catch (const std::exception& e) {
    std::cerr << "fccpack: " << e.what() << '\n';
    return fccpack::ExitFault;
  }
}
