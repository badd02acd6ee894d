// The unpacker on real payload files under Wine, its windows replaced by a recorder that
// keeps every call the unpacker makes on them.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "payload/UConcatene.h"
#include "rtl/SysUtils.h"
#include "tests/win/unpack_test_support.h"
#include "ui/Win32.h"

namespace {

using namespace unpacktest;

// Every call on the progress window and the message box, in order, as text.
class TRecorder : public payload::TUnpackReporter {
 public:
  std::vector<std::string> Events;
  // Called after each SetPosition with its value: where a press on "Interrompre" lands.
  std::function<void(std::int32_t, std::string&)> OnPosition;

  std::unique_ptr<payload::TProgressView> CreateProgress() override {
    Events.push_back("create");
    return std::make_unique<TView>(*this);
  }
  std::int32_t ShowMessageBox(const std::string& title, const std::string& message,
                              const std::string& buttons, std::uint32_t color) override {
    Events.push_back("box " + title + " | " + message + " | " + buttons + " | " +
                     std::to_string(color));
    return 1;
  }
  int Count(const std::string& prefix) const {
    int n = 0;
    for (const std::string& e : Events) n += e.starts_with(prefix);
    return n;
  }

 private:
  class TView : public payload::TProgressView {
   public:
    explicit TView(TRecorder& owner) : FOwner(owner) {}
    ~TView() override { FOwner.Events.push_back("free"); }
    void SetCaption(const std::string& t) override { FOwner.Events.push_back("caption " + t); }
    void SetLabel1(const std::string& t) override { FOwner.Events.push_back("label1 " + t); }
    void SetLabel6(const std::string& t) override { FOwner.Events.push_back("label6 " + t); }
    void SetLabel2(const std::string& t) override {
      FOwner.Events.push_back("label2 " + t);
      FLabel2 = t;
    }
    std::string Label2() const override { return FLabel2; }
    void SetPosition(std::int32_t p) override {
      FOwner.Events.push_back("position " + std::to_string(p));
      if (FOwner.OnPosition) FOwner.OnPosition(p, FLabel2);
    }
    void Show() override { FOwner.Events.push_back("show"); }
    void Hide() override { FOwner.Events.push_back("hide"); }

   private:
    TRecorder& FOwner;
    std::string FLabel2;
  };
};

class Unpack : public ::testing::Test {
 protected:
  void SetUp() override {
    FHome = Here();
    FRoot = FHome + "\\" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_TRUE(CreateDirectoryA(FRoot.c_str(), nullptr));
  }
  void TearDown() override { SetCurrentDirectoryA(FHome.c_str()); }
  std::string P(const std::string& relative) const { return FRoot + "\\" + relative; }

  // Unpacks the payload file Path; returns the error text, "" when none.
  std::string UnpackFile(const std::string& path) {
    try {
      payload::UnpackArchive(path, FRecorder);
      return "";
    } catch (const rtl::Exception& e) {
      return e.Message();
    }
  }

  std::string FHome, FRoot;
  TRecorder FRecorder;
};

TEST_F(Unpack, TheExampleContainer) {
  const std::string example(
      "\x02\x00\x00\x00\x05"
      "a.txt"
      "\x03\x00\x00\x00\x05"
      "b.bin"
      "\x00\x00\x00\x00"
      "abc",
      27);
  ASSERT_EQ(Container({{"a.txt", "abc"}, {"b.bin", ""}}), example);
  const std::string payloadBytes = payload::CompressPayload(example);
  WriteBytes(P("Morvidan.FCC"), payloadBytes);
  EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), "");

  EXPECT_EQ(ReadBytes(P("a.txt")), "abc");
  EXPECT_EQ(ReadBytes(P("b.bin")), "");
  EXPECT_FALSE(Exists(P("Morvidan.CTN"))) << "the temporary container is deleted";
  EXPECT_EQ(ReadBytes(P("Morvidan.FCC")), payloadBytes) << "the payload file stays";

  const std::string container = P("Morvidan.CTN");
  const std::vector<std::string> want = {
      "create",
      "caption D\xE9"
      "concat\xE9"
      "nation de " +
          container,
      "label1 Extraction des fichiers de l'archive " + container,
      "label6 ",
      "label2 R\xE9"
      "alis\xE9",
      "position 0",
      "show",
      "label6 Extraction de a.txt",
      "label2 R\xE9"
      "alis\xE9",
      "position 50",
      "label6 Extraction de b.bin",
      "label2 R\xE9"
      "alis\xE9",
      "position 100",
      "label2 R\xE9"
      "alis\xE9",
      "hide",
      "free",
  };
  EXPECT_EQ(FRecorder.Events, want);
}

TEST_F(Unpack, NoEntries) {
  WriteBytes(P("Morvidan.FCC"), Payload({}));
  EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), "");
  EXPECT_EQ(FRecorder.Count("show"), 1);
  EXPECT_EQ(FRecorder.Count("hide"), 1);
  EXPECT_EQ(FRecorder.Count("label6 Extraction"), 0);
  EXPECT_FALSE(Exists(P("Morvidan.CTN")));
  EXPECT_TRUE(Exists(P("Morvidan.FCC")));
}

TEST_F(Unpack, PercentagesRoundHalvesToEven) {
  Entries entries;
  for (int i = 1; i <= 8; ++i) entries.push_back({"f" + std::to_string(i), std::string(i, 'x')});
  WriteBytes(P("Morvidan.FCC"), Payload(entries));
  EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), "");
  std::vector<std::string> positions;
  for (const std::string& e : FRecorder.Events) {
    if (e.starts_with("position ")) positions.push_back(e.substr(9));
  }
  EXPECT_EQ(positions,
            (std::vector<std::string>{"0", "12", "25", "38", "50", "62", "75", "88", "100"}));
  for (int i = 1; i <= 8; ++i)
    EXPECT_EQ(ReadBytes(P("f" + std::to_string(i))), std::string(i, 'x'));
}

TEST_F(Unpack, NamesAndWherePathNamesGo) {
  const std::string longest = std::string(255 - P("").size(), 'n');  // a path of 255
  WriteBytes(P("Morvidan.FCC"), Payload({{longest, "long"},
                                         {"fen\xEAtre.QVF", "accent"},  // e circumflex
                                         {FRoot + "\\\\sub\\\\deeper\\\\doubled.txt", "doubled"},
                                         {"rel\\\\x.txt", "relative"},
                                         {"same.txt", "first"},
                                         {"SAME.TXT", "second"}}));
  ASSERT_TRUE(SetCurrentDirectoryA(FRoot.c_str()));
  ASSERT_TRUE(CreateDirectoryA(P("cwd").c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryA(P("cwd").c_str()));
  EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), "");
  EXPECT_EQ(ReadBytes(P(longest)), "long");
  EXPECT_EQ(ReadBytes(P("fen\xEAtre.QVF")), "accent");
  EXPECT_EQ(ReadBytes(P("sub\\deeper\\doubled.txt")), "doubled");
  // A relative path name is resolved against the current folder, not the container's.
  EXPECT_EQ(ReadBytes(P("cwd\\rel\\x.txt")), "relative");
  EXPECT_EQ(ReadBytes(P("same.txt")), "second") << "the later entry replaces the earlier";
  EXPECT_EQ(FRecorder.Count("label6 Extraction de " + FRoot + "\\\\sub"), 1)
      << "stored names shown as stored";
}

// Every file below the folder, as paths relative to it.
std::vector<std::string> FilesIn(const std::string& folder, const std::string& prefix = "") {
  std::vector<std::string> files;
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return files;
  do {
    const std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      for (const std::string& f : FilesIn(folder + "\\" + name, prefix + name + "\\"))
        files.push_back(f);
    } else {
      files.push_back(prefix + name);
    }
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(files.begin(), files.end());
  return files;
}

// An entry whose target does not fit stops the unpacking before any entry is written, with
// the file error: no file under a cut name, no folder made, no window; the container stays.
TEST_F(Unpack, TargetsThatDoNotFitWriteNothing) {
  const std::string tooLong = "Nom de fichier ou extension trop long";
  const std::size_t room = 255 - P("").size();  // the longest plain name that fits
  struct Case {
    const char* what;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"a plain name one character too long", std::string(room + 1, 'n')},
      {"a name of 255 characters", std::string(255, 'n')},
      {"a path name whose folder cannot be made",
       P("made\\") + std::string(248 - P("made\\").size(), 'f') + "\\a.LP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FRecorder.Events.clear();
    WriteBytes(P("Morvidan.FCC"),
               Payload({{"first.txt", "written first"}, {c.name, "x"}, {"last.txt", "z"}}));
    EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), tooLong);
    EXPECT_EQ(FilesIn(FRoot), (std::vector<std::string>{"Morvidan.CTN", "Morvidan.FCC"}));
    EXPECT_TRUE(FRecorder.Events.empty()) << "no window";
    EXPECT_TRUE(DeleteFileA(P("Morvidan.CTN").c_str())) << "the container is closed";
  }

  // The payload file's own name leaves no room for the container's: nothing is decompressed.
  ASSERT_TRUE(DeleteFileA(P("Morvidan.FCC").c_str()));
  const std::string archive = P(std::string(room - 2, 'p')) + ".F";
  WriteBytes(archive, Payload({{"first.txt", "1"}}));
  EXPECT_EQ(UnpackFile(archive), tooLong);
  EXPECT_EQ(FilesIn(FRoot), (std::vector<std::string>{archive.substr(P("").size())}));
}

// Path names into the update folder: c:\Morvidan\MAJ inserts "MAJ\", c:\MAJ (one backslash) does
// not.
TEST_F(Unpack, UpdateFolderInsertion) {
  for (const char* folder : {"c:\\Morvidan", "c:\\MAJ"}) {
    if (Exists(folder)) GTEST_SKIP() << folder << " exists already";
  }
  // These folders lie outside the scratch folder: leave none behind, whatever happens.
  struct TCleanup {
    ~TCleanup() {
      RemoveTree("c:\\Morvidan");
      RemoveTree("c:\\MAJ");
    }
  } cleanup;
  struct Case {
    const char* folder;
    const char* written;
  };
  const std::vector<Case> cases = {
      {"c:\\Morvidan\\MAJ", "c:\\Morvidan\\MAJ\\Modeles\\Liste.LP"},
      {"c:\\MAJ", "c:\\Morvidan\\Modeles\\Liste.LP"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    ASSERT_TRUE(CreateDirectoryA("c:\\Morvidan", nullptr) || Exists("c:\\Morvidan"));
    ASSERT_TRUE(CreateDirectoryA(c.folder, nullptr) || Exists(c.folder));
    const std::string payloadFile = std::string(c.folder) + "\\Morvidan.FCC";
    WriteBytes(payloadFile,
               Payload({{"c:\\Morvidan\\Modeles\\Liste.LP", "liste"}, {"plain.txt", "p"}}));
    EXPECT_EQ(UnpackFile(payloadFile), "");
    EXPECT_EQ(ReadBytes(c.written), "liste");
    EXPECT_EQ(ReadBytes(std::string(c.folder) + "\\plain.txt"), "p");
    RemoveTree("c:\\Morvidan");
    RemoveTree("c:\\MAJ");
  }
}

TEST_F(Unpack, TemporaryContainerNames) {
  struct Case {
    std::string payloadFile, container, entryFolder;
  };
  ASSERT_TRUE(CreateDirectoryA(P("Morvidan.FCC.d").c_str(), nullptr));
  const std::vector<Case> cases = {
      {P("data.ctn"), P("data.TMP"), P("")},
      // A folder named like the payload file takes no part in the container's name: the
      // container and the entries stay beside the payload file.
      {P("Morvidan.FCC.d\\Morvidan.FCC"), P("Morvidan.FCC.d\\Morvidan.CTN"), P("Morvidan.FCC.d\\")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.payloadFile);
    FRecorder.Events.clear();
    const std::string bytes = Payload({{"entry.txt", c.payloadFile}});
    WriteBytes(c.payloadFile, bytes);
    EXPECT_EQ(UnpackFile(c.payloadFile), "");
    EXPECT_EQ(FRecorder.Count("label1 Extraction des fichiers de l'archive " + c.container), 1);
    EXPECT_FALSE(Exists(c.container));
    EXPECT_EQ(ReadBytes(c.payloadFile), bytes) << "the payload file is never replaced";
    EXPECT_EQ(ReadBytes(c.entryFolder + "entry.txt"), c.payloadFile);
  }
}

// The container lands in the root of the current drive (a folder text left empty): the entries
// go there.
TEST_F(Unpack, PayloadWhoseContainerLandsInTheRoot) {
  const std::string folder = "c:\\Morvidan.FCC.d", entry = "c:\\unpack-root-entry.txt";
  for (const char* path : {"c:\\Morvidan.FCC.d", "c:\\Morvidan.CTN", "c:\\unpack-root-entry.txt",
                           "c:\\unpack-root.FCC", "c:\\unpack-root.CTN"}) {
    if (Exists(path)) GTEST_SKIP() << path << " left from elsewhere";
  }
  struct TCleanup {
    ~TCleanup() {
      RemoveTree("c:\\Morvidan.FCC.d");
      for (const char* f : {"c:\\unpack-root-entry.txt", "c:\\Morvidan.CTN", "c:\\unpack-root.FCC",
                            "c:\\unpack-root.CTN"}) {
        DeleteFileA(f);
      }
    }
  } cleanup;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  ASSERT_EQ(std::toupper(Here()[0]), 'C');
  struct Case {
    std::string payloadFile, container;
  };
  const std::vector<Case> cases = {
      {"\\unpack-root.FCC", "\\unpack-root.CTN"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.payloadFile);
    FRecorder.Events.clear();
    DeleteFileA(entry.c_str());
    WriteBytes(c.payloadFile, Payload({{"unpack-root-entry.txt", "root"}}));
    EXPECT_EQ(UnpackFile(c.payloadFile), "");
    EXPECT_EQ(FRecorder.Count("caption D\xE9"
                              "concat\xE9"
                              "nation de " +
                              c.container),
              1);
    EXPECT_EQ(ReadBytes(entry), "root");
    EXPECT_FALSE(Exists(c.container));
    EXPECT_TRUE(Exists(c.payloadFile));
  }
}

TEST_F(Unpack, BareNameAgainstTheCurrentFolder) {
  WriteBytes(P("Morvidan.FCC"), Payload({{"here.txt", "here"}}));
  ASSERT_TRUE(SetCurrentDirectoryA(FRoot.c_str()));
  EXPECT_EQ(UnpackFile("Morvidan.FCC"), "");
  EXPECT_EQ(ReadBytes(P("here.txt")), "here");
  EXPECT_EQ(FRecorder.Count("caption D\xE9"
                            "concat\xE9"
                            "nation de " +
                            P("Morvidan.CTN")),
            1);
  EXPECT_FALSE(Exists(P("Morvidan.CTN")));
}

TEST_F(Unpack, FaultyStreamsExtractNothing) {
  const std::string good = Payload({{"one.txt", std::string(300000, 'a')}, {"two.txt", "b"}});
  std::string corrupt = good;
  corrupt[good.size() / 2] ^= 0x21;
  struct Case {
    const char* what;
    std::string bytes;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"corrupt", corrupt, "error -4"},
      {"truncated", good.substr(0, good.size() - 10), "error -7"},
      {"a second stream after the first", good + Payload({{"three.txt", "c"}}), "error -1"},
      {"not bzip2", "plain text", "error -5"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FRecorder.Events.clear();
    WriteBytes(P("Morvidan.FCC"), c.bytes);
    EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), c.error);
    EXPECT_FALSE(Exists(P("one.txt")));
    EXPECT_FALSE(Exists(P("Morvidan.CTN"))) << "no container is written";
    EXPECT_TRUE(FRecorder.Events.empty()) << "no window";
  }
}

// Payloads of many blocks, decoded on every processor, give their files byte for byte; damaged
// ones end in the same errors as a payload of one block, and leave no container either.
TEST_F(Unpack, PayloadsOfManyBlocks) {
  const std::string big = Noise(2500000, 1), text(700000, 'x');
  const std::string good = Payload({{"gros.bin", big}, {"texte.txt", text}});
  const std::size_t middle = good.size() / 2;
  std::string corrupt = good;
  corrupt[middle] ^= 0x21;
  struct Case {
    const char* what;
    std::string bytes;
    const char* error;
  };
  const std::vector<Case> cases = {
      {"whole", good, ""},
      {"corrupt in a middle block", corrupt, "error -4"},
      {"cut in a middle block", good.substr(0, middle), "error -7"},
      {"a byte after the end", good + "x", "error -1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DeleteFileA(P("gros.bin").c_str());
    WriteBytes(P("Morvidan.FCC"), c.bytes);
    EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), c.error);
    EXPECT_FALSE(Exists(P("Morvidan.CTN")));
    if (*c.error == 0) {
      EXPECT_TRUE(ReadBytes(P("gros.bin")) == big);
      EXPECT_TRUE(ReadBytes(P("texte.txt")) == text);
    } else {
      EXPECT_FALSE(Exists(P("gros.bin")));
    }
  }
}

// While the payload is decompressed, the thread's windows go on answering: a message sent to
// one from another program's thread is handled before the decompression ends.
TEST_F(Unpack, WindowsAnswerDuringDecompression) {
  const std::string payload = Payload({{"gros.bin", Noise(8000000, 2)}});
  WriteBytes(P("Morvidan.FCC"), payload);
  HWND window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  std::atomic<bool> decompressing = true, sent = false, answered = false, answeredDuring = false;
  const std::string container = P("Morvidan.CTN");
  std::thread sender([&] {
    // The container appears as the decompression begins.
    while (decompressing && !Exists(container)) Sleep(1);
    DWORD_PTR result = 0;
    answered = SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 20000, &result) != 0;
    answeredDuring = answered && decompressing;
    sent = true;
  });
  payload::DecompressFile(P("Morvidan.FCC"), container);
  decompressing = false;
  // A message still waiting now is answered here, too late.
  while (!sent) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(1);
  }
  sender.join();
  DestroyWindow(window);
  EXPECT_TRUE(answered);
  EXPECT_TRUE(answeredDuring) << "the message waited for the end of the decompression";
}

TEST_F(Unpack, ContainersCutShortOrWrong) {
  std::string sized;
  payload::AppendInt32(sized, 2);
  const auto record = [](const std::string& name, std::int32_t size) {
    std::string r(1, char(name.size()));
    r += name;
    payload::AppendInt32(r, size);
    return r;
  };
  const std::string readError = "Lecture au-del\xE0 de la fin de fichier";  // a grave
  struct Case {
    const char* what;
    std::string container;
    std::string error;
    std::vector<std::pair<std::string, std::string>> files;  // name, contents or <missing>
    bool window;
  };
  const std::string whole = Container({{"first.txt", "11"}, {"second.txt", "222"}});
  const std::vector<Case> cases = {
      {"directory cut short",
       whole.substr(0, 20),
       readError,
       {{"first.txt", "<missing>"}, {"second.txt", "<missing>"}},
       false},
      {"empty container", "", readError, {}, false},
      {"negative count",
       std::string("\xFF\xFF\xFF\xFF", 4),
       "Erreur de v\xE9rification d'\xE9tendue",
       {},
       false},
      {"data area cut short",
       whole.substr(0, whole.size() - 1),
       readError,
       {{"first.txt", "11"}, {"second.txt", ""}},
       true},
      {"negative size",
       sized + record("first.txt", 2) + record("second.txt", -3) + "11" + std::string(64, 'z'),
       readError,
       {{"first.txt", "11"}, {"second.txt", ""}},
       true},
      {"oversized entry",
       sized + record("first.txt", 2) + record("second.txt", 0x7FFFFFF0) + "11xyz",
       readError,
       {{"first.txt", "11"}, {"second.txt", ""}},
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FRecorder.Events.clear();
    DeleteFileA(P("first.txt").c_str());
    DeleteFileA(P("second.txt").c_str());
    WriteBytes(P("Morvidan.FCC"), payload::CompressPayload(c.container));
    if (c.container.empty()) WriteBytes(P("Morvidan.FCC"), "");  // no stream at all
    EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), c.error);
    for (const auto& [name, contents] : c.files) EXPECT_EQ(ReadBytes(P(name)), contents) << name;
    // The temporary container stays; the window, when there was one, is hidden and freed;
    // no file is left open.
    EXPECT_EQ(ReadBytes(P("Morvidan.CTN")), c.container);
    EXPECT_EQ(FRecorder.Count("create"), c.window ? 1 : 0);
    EXPECT_EQ(FRecorder.Count("free"), c.window ? 1 : 0);
    EXPECT_TRUE(DeleteFileA(P("Morvidan.CTN").c_str())) << "the container is closed";
    if (c.window) {
      HANDLE h = CreateFileA(P("second.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                             nullptr);
      EXPECT_NE(h, INVALID_HANDLE_VALUE) << "the entry being written is closed";
      CloseHandle(h);
    }
  }
}

TEST_F(Unpack, InterruptionIsRefusedAndExtractionGoesOn) {
  WriteBytes(P("Morvidan.FCC"),
             Payload({{"1.txt", "1"}, {"2.txt", "2"}, {"3.txt", "3"}, {"4.txt", "4"}}));
  // The press lands during the message pumping of the position set before entry 2.
  FRecorder.OnPosition = [](std::int32_t position, std::string& label2) {
    if (position == 50) label2 = "interrompu";
  };
  EXPECT_EQ(UnpackFile(P("Morvidan.FCC")), "");
  const std::string box =
      "box Interruption Interdite | <BLOCKQUOTE><FONT COLOR=#FF0000><B>L'Interruption est "
      "Interdite</FONT></BLOCKQUOTE><P><FONT COLOR=#FF SIZE=12>Le traitement va \xEAtre "
      "maintenu</FONT> | Ok | 0";
  const auto& ev = FRecorder.Events;
  const auto at = std::find(ev.begin(), ev.end(), box);
  ASSERT_NE(at, ev.end());
  EXPECT_EQ(FRecorder.Count("box "), 1);
  EXPECT_EQ(*(at - 1), "label6 Extraction de 3.txt") << "shown before entry 3";
  EXPECT_EQ(*(at + 1),
            "label2 R\xE9"
            "alis\xE9");
  for (const char* f : {"1.txt", "2.txt", "3.txt", "4.txt"})
    EXPECT_EQ(ReadBytes(P(f)), std::string(1, f[0]));
}

TEST_F(Unpack, MissingPayloadWaitsOneSecondThenFails) {
  const DWORD start = GetTickCount();
  EXPECT_EQ(UnpackFile(P("Morvidan.FCC")),
            "Impossible d'ouvrir le fichier \"" + P("Morvidan.FCC") + "\"");
  EXPECT_GE(GetTickCount() - start, 990u);
  EXPECT_TRUE(FRecorder.Events.empty());
}

TEST_F(Unpack, EntryFoldersAreCreated) {
  // ExtractFiles alone on a container whose entries go into folders that do not exist yet.
  ASSERT_TRUE(CreateDirectoryA(P("in").c_str(), nullptr));
  WriteBytes(P("in\\c.CTN"), Container({{P("made\\by\\chain\\f.txt"), "f"}}));
  payload::ExtractFiles(P("in\\c.CTN"), FRecorder);
  EXPECT_EQ(ReadBytes(P("made\\by\\chain\\f.txt")), "f");
  EXPECT_TRUE(Exists(P("in\\c.CTN"))) << "ExtractFiles leaves the container";
}

}  // namespace

namespace {

// What another program gets when it tries, through Windows calls, to swap a file: 0 when
// the call succeeds, else the system's error.
struct TSwapAttempts {
  DWORD Move, Replace, Write, Delete;
};

TSwapAttempts TrySwapping(const std::string& path, const std::string& other) {
  const auto code = [](BOOL ok) { return ok ? DWORD(0) : GetLastError(); };
  TSwapAttempts result{};
  result.Move = code(MoveFileExA(path.c_str(), (path + ".ailleurs").c_str(), 0));
  result.Replace = code(CopyFileA(other.c_str(), path.c_str(), FALSE));
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  result.Write = code(h != INVALID_HANDLE_VALUE);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  result.Delete = code(DeleteFileA(path.c_str()));
  return result;
}

}  // namespace

// The payload file handed over as a handle: the unpacker reads it through that handle alone
// (its name is never opened again, which a handle shared with nobody would refuse), and the
// temporary container is read through the handle it was written with, which nobody else can
// rename, replace, write or delete in between.
TEST_F(Unpack, ThroughTheHandlesItWasWrittenWith) {
  const std::string bytes = Payload({{"a.txt", "des octets"}, {"b.txt", "d'autres"}});
  const std::string fcc = P("Morvidan.FCC"), ctn = P("Morvidan.CTN"), other = P("autre.bin");
  WriteBytes(other, "pas un conteneur");
  HANDLE payloadFile = CreateFileA(fcc.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                   CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(payloadFile, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(payloadFile, bytes.data(), DWORD(bytes.size()), &written, nullptr));
  // The handle's pointer is left at the end: the unpacker reads from the start all the same.

  TSwapAttempts container{};
  bool tried = false;
  FRecorder.OnPosition = [&](std::int32_t, std::string&) {
    if (!tried) container = TrySwapping(ctn, other);
    tried = true;
  };
  try {
    payload::UnpackArchive(fcc, payloadFile, FRecorder);
  } catch (const rtl::Exception& e) {
    ADD_FAILURE() << e.Message();
  }
  CloseHandle(payloadFile);
  ASSERT_TRUE(tried);
  EXPECT_EQ(container.Move, DWORD(ERROR_SHARING_VIOLATION)) << "the container is renamed";
  EXPECT_EQ(container.Replace, DWORD(ERROR_SHARING_VIOLATION)) << "the container is replaced";
  EXPECT_EQ(container.Write, DWORD(ERROR_SHARING_VIOLATION)) << "the container is written";
  EXPECT_EQ(container.Delete, DWORD(ERROR_SHARING_VIOLATION)) << "the container is deleted";
  EXPECT_EQ(ReadBytes(P("a.txt")), "des octets");
  EXPECT_EQ(ReadBytes(P("b.txt")), "d'autres");
  EXPECT_FALSE(Exists(ctn)) << "the temporary container is deleted";
  EXPECT_EQ(ReadBytes(fcc), bytes);
}
