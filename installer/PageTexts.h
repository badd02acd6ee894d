// The markup texts of the five wizard pages, in CP1252 bytes. Each opens with a heading and,
// on the pages with a body, a row of empty paragraphs that brings the body below the logo
// band of the background picture.
#pragma once

#include <array>

namespace installer {

extern const char* const PageTextWelcome;     // page 1
extern const char* const PageTextLicence;     // page 2
extern const char* const PageTextFolder;      // page 3
extern const char* const PageTextInstalling;  // page 4
extern const char* const PageTextFinished;    // page 5

// The same texts by page number: PageTexts[0] is page 1.
extern const std::array<const char*, 5> PageTexts;

}  // namespace installer
