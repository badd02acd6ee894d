#include <gtest/gtest.h>

#include <string>

#include "rtl/ShortString.h"
#include "rtl/SysUtils.h"

namespace {

TEST(StrToInt, AcceptsDecimalAndDollarHex) {
  struct Case {
    std::string text;
    std::int32_t value;
  };
  const Case cases[] = {
      {"12", 12},          {"-7", -7},         {"  42", 42},       {"$FF", 255},
      {"$ff0000", 0xFF0000}, {"0x10", 16},     {"$FFFFFFFF", -1},  {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN}, {"+3", 3},   {"$80000000", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(rtl::StrToInt(c.text), c.value) << c.text;
}

TEST(StrToInt, RejectsWithTheConversionText) {
  for (const char* bad : {"", "big", "12a", "$", "$GG", "2147483648", "$100000000", "1 ", " ",
                          "-", "\"12\""}) {
    try {
      rtl::StrToInt(bad);
      ADD_FAILURE() << "accepted " << bad;
    } catch (const rtl::EConvertError& e) {
      EXPECT_EQ(e.Message(), "'" + std::string(bad) + "' n'est pas une valeur entière correcte");
    }
  }
}

TEST(InOutError, TextsByCode) {
  struct Case {
    int code;
    std::string text;
  };
  const Case cases[] = {
      {2, "Fichier introuvable"},        {3, "Nom de fichier incorrect"},
      {4, "Trop de fichiers ouverts"},   {5, "Accès au fichier refusé"},
      {100, "Lecture au-delà de la fin de fichier"}, {101, "Disque plein"},
      {106, "Saisie numérique incorrecte"},          {112, "Erreur E/S 112"},
      {32, "Erreur E/S 32"},
      {206, "Nom de fichier ou extension trop long"},
  };
  for (const Case& c : cases) {
    const rtl::EInOutError e(c.code);
    EXPECT_EQ(e.Message(), c.text);
    EXPECT_EQ(e.ErrorCode(), c.code);
  }
  EXPECT_NO_THROW(rtl::CheckInOut(0));
  EXPECT_THROW(rtl::CheckInOut(5), rtl::EInOutError);
}

TEST(IntToHex, PadsToTheDigitsAskedAndCutsNothing) {
  struct Case {
    std::uint32_t value;
    int digits;
    std::string text;
  };
  const Case cases[] = {
      {0x80004005, 8, "80004005"}, {0x1F, 8, "0000001F"}, {0, 1, "0"},   {0, 0, "0"},
      {0xFFFFFFFF, 8, "FFFFFFFF"}, {0xABCDE, 2, "ABCDE"},   {10, 4, "000A"},
  };
  for (const Case& c : cases) EXPECT_EQ(rtl::IntToHex(c.value, c.digits), c.text) << c.value;
}

TEST(Errors, FixedTexts) {
  EXPECT_EQ(rtl::EIntOverflow().Message(), "Débordement d'entier");
  EXPECT_EQ(rtl::EFOpenError("c:\\a.txt").Message(),
            "Impossible d'ouvrir le fichier \"c:\\a.txt\"");
  EXPECT_EQ(rtl::EFCreateError("x").Message(), "Impossible de créer le fichier \"x\"");
  // The texts are Windows-1252 bytes.
  EXPECT_EQ(rtl::EIntOverflow().Message()[1], '\xE9');
}

TEST(Round, HalvesGoToTheEvenNeighbour) {
  struct Case {
    double x;
    std::int64_t r;
  };
  const Case cases[] = {{0.5, 0}, {1.5, 2}, {2.5, 2}, {3.5, 4}, {-0.5, 0}, {-1.5, -2},
                        {12.5, 12}, {37.5, 38}, {62.5, 62}, {87.5, 88}, {2.4999, 2}, {2.5001, 3}};
  for (const Case& c : cases) EXPECT_EQ(rtl::Round(c.x), c.r) << c.x;
}

TEST(TimeOfDay, IsAFractionOfADay) {
  const double t = rtl::TimeOfDay();
  EXPECT_GE(t, 0.0);
  EXPECT_LT(t, 1.0);
}

TEST(CheckedWord, OverflowPast65535) {
  EXPECT_EQ(rtl::CheckedWord(65535), 65535);
  EXPECT_THROW(rtl::CheckedWord(65536), rtl::EIntOverflow);
  EXPECT_THROW(rtl::CheckedWord(-1), rtl::EIntOverflow);
}

TEST(ShortString, CutsOnEveryConcatenation) {
  rtl::ShortString s(std::string(300, 'a'));
  EXPECT_EQ(s.size(), 255u);
  rtl::ShortString t(std::string(250, 'b'));
  t += "123456789";
  EXPECT_EQ(t.size(), 255u);
  EXPECT_EQ(t.str().substr(250), "12345");
  t += 'z';
  EXPECT_EQ(t.size(), 255u);
  EXPECT_EQ((rtl::ShortString("ab") + std::string(300, 'c')).size(), 255u);

  rtl::TBoundedString<5> small("abcde");
  small.Insert("X", 2);
  EXPECT_EQ(small.str(), "aXbcd");
  small.Delete(2, 1);
  EXPECT_EQ(small.str(), "abcd");
  small.Delete(9, 1);  // outside: nothing
  small.Insert("Z", 99);  // past the end: appended
  EXPECT_EQ(small.str(), "abcdZ");
}

}  // namespace

namespace {

TEST(ShortString, Compares) {
  const rtl::ShortString a = "ab";
  EXPECT_TRUE(a == "ab");
  EXPECT_TRUE(a == rtl::ShortString("ab"));
  EXPECT_FALSE(a == std::string("abc"));
  EXPECT_TRUE(a != "b");
}

}  // namespace
