// UnpackArchive on a payload shaped like the shipped one (block size 9, about 2.16 MB of
// stream, a 7.68 MB container of 24 entries, one of about 7.6 MB), against the least work that
// gives the same files: decompress the stream with libbz2 into memory and write each entry
// with one call. Each measurement runs in a fresh process of its own, alternating the two, so
// that the peak working set of one is not the other's. The machine is shared, and other work
// only ever adds time: the best time of each is compared, and the median of the peaks is shown.
//   unpack: ratio=<unpack time / baseline time> peak=<MiB the working set grew during the call>
// clang-format off
// psapi.h needs windows.h before it.
#include "ui/Win32.h"
#include <psapi.h>
// clang-format on

#include <bzlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"
#include "payload/UConcatene.h"

namespace {

constexpr int Rounds = 7;  // measured rounds, after one to warm up
constexpr const char* PayloadName = "Morvidan.FCC";

struct TEntry {
  std::string Name;
  std::string Contents;
};

// Bytes that compress like an executable with bzip2: short "instructions" drawn from a
// vocabulary with a Zipf law, some raw bytes among them (tuned to about 0.28).
std::string CodeLike(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::vector<std::string> vocabulary(2048);
  for (std::string& word : vocabulary) {
    word.resize(1 + random() % 8);
    for (char& c : word) c = char(random());
  }
  std::vector<double> cumulated(vocabulary.size());
  double total = 0;
  for (std::size_t i = 0; i < vocabulary.size(); ++i)
    cumulated[i] = total += 1.0 / std::pow(double(i + 1), 1.02);
  std::uniform_real_distribution<double> uniform(0, 1);
  std::string out;
  out.reserve(n + 8);
  while (out.size() < n) {
    if (uniform(random) < 0.02) {
      out += char(random());
    } else {
      const auto at = std::lower_bound(cumulated.begin(), cumulated.end(), uniform(random) * total);
      out += vocabulary[std::size_t(at - cumulated.begin())];
    }
  }
  out.resize(n);
  return out;
}

std::string Noise(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (char& c : s) c = char(random());
  return s;
}

std::string TextLike(std::size_t n, unsigned seed) {
  static const char* words[] = {"Facture ",
                                "client ",
                                "montant ",
                                "TVA ",
                                "remise ",
                                "article ",
                                "quantit\xE9 ",
                                "total ",
                                "r\xE8glement ",
                                "\xE9"
                                "ch\xE9"
                                "ance "};
  std::mt19937 random(seed);
  std::string s;
  while (s.size() < n)
    s += words[random() % std::size(words)] + std::to_string(random() % 1000) + "\r\n";
  s.resize(n);
  return s;
}

// 24 entries with plain names of 12 to 33 bytes, the executable first, then the font, the
// picture and seven data files of each kind.
std::vector<TEntry> ShippedShape() {
  std::vector<TEntry> entries = {
      {"morvidan.exe", CodeLike(7'600'000, 1)},
      {"Morvidan Sans.ttf", Noise(31'000, 2)},
      {"Fond d'\xE9"
       "cran Morvidan.jpg",
       Noise(24'000, 3)},
  };
  const char* kinds[] = {".QVF", ".qvc", ".LP"};
  const char* stems[] = {"Factures",
                         "Clients",
                         "Fen\xEAtres",
                         "Articles",
                         "R\xE8glements",
                         "Param\xE8tres g\xE9n\xE9raux",
                         "Mod\xE8les d'impression"};
  for (int k = 0; k < 3; ++k) {
    for (int s = 0; s < 7; ++s) {
      entries.push_back({std::string(stems[s]) + kinds[k],
                         TextLike(1'200 + 40 * std::size_t(s), unsigned(10 * k + s))});
    }
  }
  return entries;
}

double Seconds() {
  LARGE_INTEGER frequency, now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return double(now.QuadPart) / double(frequency.QuadPart);
}

// psapi's function, found at run time so that the bench links with nothing more.
PROCESS_MEMORY_COUNTERS MemoryNow() {
  using TGet = BOOL(WINAPI*)(HANDLE, PPROCESS_MEMORY_COUNTERS, DWORD);
  static const auto get = reinterpret_cast<TGet>(
      reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("psapi.dll"), "GetProcessMemoryInfo")));
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (get) get(GetCurrentProcess(), &counters, sizeof counters);
  return counters;
}

// The installer has its windows up when it unpacks: create and drop one first, so that the
// one-time cost of the window system is not counted against the unpacker.
void WarmUpWindows() {
  HWND w = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  DestroyWindow(w);
}

std::string ReadFileWhole(const std::string& path) {
  HANDLE h =
      CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return {};
  std::string data(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ReadFile(h, data.data(), DWORD(data.size()), &got, nullptr);
  CloseHandle(h);
  data.resize(got);
  return data;
}

void WriteFileWhole(const std::string& path, const char* data, std::size_t size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD put = 0;
  WriteFile(h, data, DWORD(size), &put, nullptr);
  CloseHandle(h);
}

void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(folder + "\\" + name);
      else
        DeleteFileA((folder + "\\" + name).c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

// The processor time of this process so far, user and kernel: steadier than the clock when
// other work shares the machine, though blind to what the X server draws for the windows.
double CpuSeconds() {
  FILETIME created, exited, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  const auto value = [](const FILETIME& t) {
    return double((std::uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
  };
  return value(kernel) + value(user);
}

void Report(const std::string& resultPath, double seconds, double cpu, double growth) {
  const std::string line =
      std::to_string(seconds) + " " + std::to_string(cpu) + " " + std::to_string(growth) + "\n";
  WriteFileWhole(resultPath, line.data(), line.size());
}

int ChildUnpack(const std::string& payloadPath, const std::string& resultPath) {
  WarmUpWindows();
  const PROCESS_MEMORY_COUNTERS before = MemoryNow();
  const double start = Seconds(), startCpu = CpuSeconds();
  payload::UnpackArchive(payloadPath);
  const double seconds = Seconds() - start, cpu = CpuSeconds() - startCpu;
  const PROCESS_MEMORY_COUNTERS after = MemoryNow();
  Report(resultPath, seconds, cpu,
         double(after.PeakWorkingSetSize) - double(before.WorkingSetSize));
  return 0;
}

// The least work: one read, libbz2 into one buffer, one write per entry.
int ChildBaseline(const std::string& payloadPath, const std::string& folder,
                  const std::string& resultPath) {
  WarmUpWindows();
  const double start = Seconds(), startCpu = CpuSeconds();
  std::string input = ReadFileWhole(payloadPath);
  std::string container(input.size() * 8, '\0');
  for (;;) {
    unsigned length = unsigned(container.size());
    const int rc = BZ2_bzBuffToBuffDecompress(container.data(), &length, input.data(),
                                              unsigned(input.size()), 0, 0);
    if (rc == BZ_OUTBUFF_FULL) {
      container.resize(container.size() * 2);
      continue;
    }
    if (rc != BZ_OK) return 1;
    container.resize(length);
    break;
  }
  const auto int32At = [&](std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, container.data() + at, 4);
    return v;
  };
  std::size_t at = 0;
  const std::int32_t count = int32At(at);
  at += 4;
  std::vector<std::pair<std::string, std::int32_t>> directory;
  for (std::int32_t i = 0; i < count; ++i) {
    const std::size_t length = static_cast<unsigned char>(container[at]);
    directory.emplace_back(container.substr(at + 1, length), int32At(at + 1 + length));
    at += 1 + length + 4;
  }
  for (const auto& [name, size] : directory) {
    WriteFileWhole(folder + "\\" + name, container.data() + at, std::size_t(size));
    at += std::size_t(size);
  }
  Report(resultPath, Seconds() - start, CpuSeconds() - startCpu, 0);
  return 0;
}

bool RunChild(const std::string& arguments) {
  char exe[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  std::string commandLine = "\"" + std::string(exe) + "\" " + arguments;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return false;
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code == 0;
}

double Best(const std::vector<double>& v) {
  return *std::min_element(v.begin(), v.end());
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Every entry's file, byte for byte.
bool SameFiles(const std::string& folder, const std::vector<TEntry>& entries) {
  for (const TEntry& e : entries) {
    if (ReadFileWhole(folder + "\\" + e.Name) != e.Contents) return false;
  }
  return true;
}

int Parent() {
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof temp, temp);
  const std::string root = std::string(temp) + "unpack_bench";
  RemoveTree(root);
  CreateDirectoryA(root.c_str(), nullptr);

  const std::vector<TEntry> entries = ShippedShape();
  payload::TContainerWriter writer;
  std::size_t largest = 0;
  for (const TEntry& e : entries) {
    writer.Add(e.Name, e.Contents);
    largest = std::max(largest, e.Contents.size());
  }
  const std::string container = writer.Build();
  const std::string stream = payload::CompressPayload(container, 9);
  const std::string master = root + "\\" + PayloadName;
  WriteFileWhole(master, stream.data(), stream.size());
  const std::string result = root + "\\result.txt";

  std::vector<double> unpackTimes, baselineTimes, unpackCpu, baselineCpu, growths;
  for (int round = 0; round <= Rounds; ++round) {
    for (int k = 0; k < 2; ++k) {
      const bool unpack = (k + round) % 2 == 0;  // alternate which goes first
      const std::string folder =
          root + "\\" + (unpack ? "unpack" : "baseline") + std::to_string(round);
      CreateDirectoryA(folder.c_str(), nullptr);
      DeleteFileA(result.c_str());
      bool ok;
      if (unpack) {
        CopyFileA(master.c_str(), (folder + "\\" + PayloadName).c_str(), FALSE);
        ok = RunChild("--unpack \"" + folder + "\\" + PayloadName + "\" \"" + result + "\"");
      } else {
        ok = RunChild("--baseline \"" + master + "\" \"" + folder + "\" \"" + result + "\"");
      }
      double seconds = 0, cpu = 0, growth = 0;
      if (!ok ||
          std::sscanf(ReadFileWhole(result).c_str(), "%lf %lf %lf", &seconds, &cpu, &growth) != 3 ||
          !SameFiles(folder, entries)) {
        std::printf("unpack: the %s run failed\n", unpack ? "unpack" : "baseline");
        return 1;
      }
      if (round > 0) {
        (unpack ? unpackTimes : baselineTimes).push_back(seconds);
        (unpack ? unpackCpu : baselineCpu).push_back(cpu);
        if (unpack) growths.push_back(growth);
      }
      RemoveTree(folder);
    }
  }
  RemoveTree(root);

  const double mib = 1024.0 * 1024.0;
  const double goal = double(stream.size() + container.size() + largest) / mib + 4;
  std::printf(
      "  payload %zu bytes, container %zu bytes, %zu entries, largest %zu; best of %d: "
      "UnpackArchive %.0f ms, libbz2 and one write per entry %.0f ms (processor time: %.0f "
      "and %.0f ms, ratio %.2f); goals: ratio 1.25, peak %.1f MiB\n",
      stream.size(), container.size(), entries.size(), largest, Rounds, Best(unpackTimes) * 1000,
      Best(baselineTimes) * 1000, Best(unpackCpu) * 1000, Best(baselineCpu) * 1000,
      Best(unpackCpu) / Best(baselineCpu), goal);
  std::printf("unpack: ratio=%.2f peak=%.1f\n", Best(unpackTimes) / Best(baselineTimes),
              Median(growths) / mib);
  return 0;
}

}  // namespace

// A sink that only counts, so that decoding alone is measured.
class TCountingSink : public payload::TByteSink {
 public:
  void Write(const char*, std::size_t count) override { FCount += count; }
  void Rewind() override { FCount = 0; }
  std::size_t Count() const { return FCount; }

 private:
  std::size_t FCount = 0;
};

// Decodes a payload file into nothing, the best of Rounds, with the given number of threads
// (0: one per processor, 1: the sequential decoder) and prints "<ms> <bytes>".
int Decode(const std::string& payloadPath, unsigned workers, int rounds) {
  const std::string stream = ReadFileWhole(payloadPath);
  double best = 1e9;
  std::size_t bytes = 0;
  for (int round = 0; round < rounds; ++round) {
    payload::TMemorySource source(std::span<const char>(stream.data(), stream.size()));
    TCountingSink sink;
    const double start = Seconds();
    payload::DecodeStream(source, sink, {.Decoders = workers, .Pump = nullptr});
    best = std::min(best, Seconds() - start);
    bytes = sink.Count();
  }
  std::printf("%.1f %zu\n", best * 1000, bytes);
  return 0;
}

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 4 && args[0] == "--decode")
    return Decode(args[1], unsigned(std::stoi(args[2])), std::stoi(args[3]));
  if (args.size() == 3 && args[0] == "--unpack") return ChildUnpack(args[1], args[2]);
  if (args.size() == 4 && args[0] == "--baseline") return ChildBaseline(args[1], args[2], args[3]);
  return Parent();
}
