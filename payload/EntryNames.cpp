#include "payload/EntryNames.h"

#include <array>
#include <cstdint>

namespace payload {

namespace {

// Unicode of the bytes 0x80 to 0x9F in Windows-1252; 0 marks the five bytes without one.
constexpr std::array<std::uint16_t, 32> High1252 = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::uint32_t CharOf(unsigned char b) {
  return b >= 0x80 && b < 0xA0 ? High1252[b - 0x80] : b;
}

std::string Describe(unsigned char c) {
  if (c < 0x20 || c >= 0x7F) {
    static const char* hex = "0123456789ABCDEF";
    return std::string("byte 0x") + hex[c >> 4] + hex[c & 15];
  }
  return std::string("'") + char(c) + "'";
}

bool IsDevice(std::string_view component) {
  // The part before the first point decides: "nul.txt" is the device too.
  const std::string base = FoldCase1252(component.substr(0, component.find('.')));
  for (const char* device : {"CON", "PRN", "AUX", "NUL"}) {
    if (base == device) return true;
  }
  return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
         base[3] >= '1' && base[3] <= '9';
}

// A single folder or file name between backslashes.
std::string ComponentProblem(std::string_view c) {
  if (c.empty()) return "an empty component (a doubled or trailing backslash)";
  if (c == "." || c == "..") return "the component \"" + std::string(c) + "\"";
  if (c.back() == '.' || c.back() == ' ') return "a component ending in a point or a space";
  if (IsDevice(c)) return "the device name \"" + std::string(c) + "\"";
  for (unsigned char ch : c) {
    if (ch < 0x20 || std::string_view("<>:\"/|?*").find(char(ch)) != std::string_view::npos) {
      return Describe(ch) + ", which Windows file names reject";
    }
    if (CharOf(ch) == 0) return Describe(ch) + ", which is no character of Windows-1252";
  }
  return {};
}

void AppendUtf8(std::string& out, std::uint32_t u) {
  if (u < 0x80) {
    out += char(u);
  } else if (u < 0x800) {
    out += char(0xC0 | (u >> 6));
    out += char(0x80 | (u & 0x3F));
  } else {
    out += char(0xE0 | (u >> 12));
    out += char(0x80 | ((u >> 6) & 0x3F));
    out += char(0x80 | (u & 0x3F));
  }
}

}  // namespace

bool IsPathName(std::string_view name) {
  return name.find('\\') != std::string_view::npos;
}

std::string EntryNameProblem(std::string_view name) {
  if (name.empty()) return "empty name";
  if (name.size() > 255) return "name longer than 255 bytes";
  if (!IsPathName(name)) return ComponentProblem(name);
  const bool drive = name.size() >= 3 &&
                     ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z')) &&
                     name[1] == ':' && name[2] == '\\';
  if (!drive) return "a path name that does not start with a drive letter, \":\" and \"\\\"";
  std::string_view rest = name.substr(3);
  for (std::size_t from = 0;;) {
    const std::size_t end = rest.find('\\', from);
    const std::string problem = ComponentProblem(rest.substr(from, end - from));
    if (!problem.empty()) return problem;
    if (end == std::string_view::npos) return {};
    from = end + 1;
  }
}

std::string FoldCase1252(std::string_view name) {
  std::string out(name);
  for (char& ch : out) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z')
      ch = char(c - 0x20);
    else if (c >= 0xE0 && c <= 0xFE && c != 0xF7)
      ch = char(c - 0x20);  // a grave .. thorn
    else if (c == 0x9A || c == 0x9C || c == 0x9E)
      ch = char(c - 0x10);  // s, oe, z caron
    else if (c == 0xFF)
      ch = char(0x9F);  // y diaeresis
  }
  return out;
}

std::optional<std::string> Cp1252ToUtf8(std::string_view text) {
  std::string out;
  for (unsigned char c : text) {
    const std::uint32_t u = CharOf(c);
    if (u == 0 && c != 0) return std::nullopt;
    AppendUtf8(out, u);
  }
  return out;
}

std::optional<std::string> Utf8ToCp1252(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    std::uint32_t u;
    std::size_t length;
    if (c < 0x80)
      u = c, length = 1;
    else if ((c & 0xE0) == 0xC0)
      u = c & 0x1F, length = 2;
    else if ((c & 0xF0) == 0xE0)
      u = c & 0x0F, length = 3;
    else if ((c & 0xF8) == 0xF0)
      u = c & 0x07, length = 4;
    else
      return std::nullopt;
    if (i + length > text.size()) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      u = u << 6 | (next & 0x3F);
    }
    // Overlong forms would let one name be spelt two ways.
    static constexpr std::uint32_t Least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (u < Least[length]) return std::nullopt;
    i += length;
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
      out += char(u);
      continue;
    }
    std::size_t b = 0;
    while (b < High1252.size() && (High1252[b] != u || u == 0)) ++b;
    if (b == High1252.size()) return std::nullopt;
    out += char(0x80 + b);
  }
  return out;
}

}  // namespace payload
