// The run-time's exceptions and conversions, with the French texts the user reads.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rtl {

// Base of every error the system raises; Message() is the text shown in the error box.
class Exception : public std::exception {
public:
  explicit Exception(std::string message) : FMessage(std::move(message)) {}
  const std::string& Message() const { return FMessage; }
  const char* what() const noexcept override { return FMessage.c_str(); }

private:
  std::string FMessage;
};

// "'%s' n'est pas une valeur entière correcte"
class EConvertError : public Exception {
public:
  explicit EConvertError(std::string_view text);
  using Exception::Exception;
};

// "Débordement d'entier"
class EIntOverflow : public Exception {
public:
  EIntOverflow();
};

// "Erreur de vérification d'étendue"
class ERangeError : public Exception {
public:
  ERangeError();
};

// An input/output failure carrying the operating system's code.
class EInOutError : public Exception {
public:
  explicit EInOutError(int code);
  int ErrorCode() const { return FCode; }

private:
  int FCode;
};

// "Impossible d'ouvrir le fichier "<name>"" / "Impossible de créer le fichier "<name>""
class EFOpenError : public Exception {
public:
  explicit EFOpenError(std::string_view fileName);
};
class EFCreateError : public Exception {
public:
  explicit EFCreateError(std::string_view fileName);
};

// The text of an input/output error code, as EInOutError shows it.
std::string InOutErrorText(int code);

// Raises EInOutError(code) when code is not 0.
void CheckInOut(int code);

// Integer conversion as tags and attributes need it: optional leading blanks and sign, then
// decimal digits, or "$" (or "0x") and hexadecimal digits. Hexadecimal values wrap into 32
// bits ("$FFFFFFFF" is -1); a decimal value outside 32 bits, an empty text or any other
// character is a conversion error naming the text.
std::int32_t StrToInt(std::string_view s);
bool TryStrToInt(std::string_view s, std::int32_t& value);

// Rounds to the nearest integer, halves to the even neighbour (2.5 -> 2, 3.5 -> 4, -0.5 -> 0).
std::int64_t Round(double x);

// The time of day as a fraction of a day (0.5 is noon).
double TimeOfDay();

// Upper-case hexadecimal digits of Value, padded with zeros to at least Digits of them
// (IntToHex(0x80004005, 8) is "80004005", IntToHex(31, 4) is "001F").
std::string IntToHex(std::uint32_t value, int digits);

// 16-bit counters of the system: a value past 65,535 raises the integer-overflow error.
std::uint16_t CheckedWord(std::int64_t value);

}  // namespace rtl
