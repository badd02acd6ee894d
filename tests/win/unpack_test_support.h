// Payload files for the Wine tests of the unpacker: writing and reading real files, and
// containers and payloads made from (name, contents) pairs.
#pragma once

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "bzip2/Bzip2.h"
#include "payload/Container.h"
#include "ui/Win32.h"

namespace unpacktest {

using Entries = std::vector<std::pair<std::string, std::string>>;

inline std::string Here() {
  char buffer[MAX_PATH] = {};
  GetCurrentDirectoryA(sizeof buffer, buffer);
  return buffer;
}

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
  DWORD put = 0;
  WriteFile(h, bytes.data(), DWORD(bytes.size()), &put, nullptr);
  CloseHandle(h);
}

// The file's contents, or "<missing>".
inline std::string ReadBytes(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return "<missing>";
  std::string data(GetFileSize(h, nullptr), '\0');
  DWORD got = 0;
  ReadFile(h, data.data(), DWORD(data.size()), &got, nullptr);
  CloseHandle(h);
  return data;
}

inline bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Bytes that compress poorly: their payload has about one block per 900,000 of them.
inline std::string Noise(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::string s(n, '\0');
  for (char& c : s) c = static_cast<char>(random() & 0xFF);
  return s;
}

inline std::string Container(const Entries& entries) {
  payload::TContainerWriter writer;
  for (const auto& [name, contents] : entries) writer.Add(name, contents);
  return writer.Build();
}

inline std::string Payload(const Entries& entries) {
  return payload::CompressPayload(Container(entries));
}

// Removes a folder tree made by a test outside the scratch folder.
inline void RemoveTree(const std::string& folder) {
  WIN32_FIND_DATAA data{};
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::string name = data.cFileName;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "\\" + name;
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &data));
    FindClose(find);
  }
  RemoveDirectoryA(folder.c_str());
}

}  // namespace unpacktest
