#include "rtl/SysUtils.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <limits>

namespace rtl {

EConvertError::EConvertError(std::string_view text)
    : Exception("'" + std::string(text) + "' n'est pas une valeur entière correcte") {}

EIntOverflow::EIntOverflow() : Exception("Débordement d'entier") {}

ERangeError::ERangeError() : Exception("Erreur de vérification d'étendue") {}

EInOutError::EInOutError(int code) : Exception(InOutErrorText(code)), FCode(code) {}

EFOpenError::EFOpenError(std::string_view fileName)
    : Exception("Impossible d'ouvrir le fichier \"" + std::string(fileName) + "\"") {}

EFCreateError::EFCreateError(std::string_view fileName)
    : Exception("Impossible de créer le fichier \"" + std::string(fileName) + "\"") {}

// 206 is Windows' "file name or extension too long", raised for every path too long to be
// used: its own text tells the user more than "Nom de fichier incorrect", which reads like a
// typing mistake.
std::string InOutErrorText(int code) {
  switch (code) {
    case 2: return "Fichier introuvable";
    case 3: return "Nom de fichier incorrect";
    case 4: return "Trop de fichiers ouverts";
    case 5: return "Accès au fichier refusé";
    case 100: return "Lecture au-delà de la fin de fichier";
    case 101: return "Disque plein";
    case 106: return "Saisie numérique incorrecte";
    case 206: return "Nom de fichier ou extension trop long";
    default: return "Erreur E/S " + std::to_string(code);
  }
}

void CheckInOut(int code) {
  if (code != 0) throw EInOutError(code);
}

bool TryStrToInt(std::string_view s, std::int32_t& value) {
  std::size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) {
    negative = s[i] == '-';
    ++i;
  }
  bool hex = false;
  if (i < s.size() && s[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i >= s.size()) return false;

  std::uint64_t n = 0;
  for (; i < s.size(); ++i) {
    const char c = s[i];
    unsigned digit;
    if (c >= '0' && c <= '9') digit = unsigned(c - '0');
    else if (hex && c >= 'a' && c <= 'f') digit = unsigned(c - 'a' + 10);
    else if (hex && c >= 'A' && c <= 'F') digit = unsigned(c - 'A' + 10);
    else return false;
    n = n * (hex ? 16 : 10) + digit;
    // Hexadecimal numbers may use all 32 bits (they wrap to negative); decimal ones may not.
    const std::uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
    if (n > limit) return false;
  }
  if (hex) {
    const auto bits = static_cast<std::uint32_t>(n);
    const auto v = static_cast<std::int32_t>(bits);
    value = negative ? static_cast<std::int32_t>(0u - bits) : v;
  } else {
    value = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(n))
                     : static_cast<std::int32_t>(n);
  }
  return true;
}

std::int32_t StrToInt(std::string_view s) {
  std::int32_t v = 0;
  if (!TryStrToInt(s, v)) throw EConvertError(s);
  return v;
}

std::int64_t Round(double x) {
  return static_cast<std::int64_t>(std::nearbyint(x));  // the default rounding mode is to even
}

double TimeOfDay() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t t = std::chrono::system_clock::to_time_t(now);
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &t);
#else
  localtime_r(&t, &local);
#endif
  return (local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + ms / 1000.0) / 86400.0;
}

// Built by hand rather than with snprintf: on Windows, the C99 printf of MinGW would weigh
// 25 KB in install.exe for this one use.
std::string IntToHex(std::uint32_t value, int digits) {
  std::string text;
  do {
    text.insert(text.begin(), "0123456789ABCDEF"[value % 16]);
    value /= 16;
  } while (value != 0);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

std::uint16_t CheckedWord(std::int64_t value) {
  if (value < 0 || value > std::numeric_limits<std::uint16_t>::max()) throw EIntOverflow();
  return static_cast<std::uint16_t>(value);
}

}  // namespace rtl
