// install.exe carries its own copies of the std::string members behind libstdc++'s exception
// classes (installer/StringInstances.cpp, CowStringInstances.cpp), and this program links the
// same objects. A copy built unlike the library's (another string layout, another empty-string
// rule) would only show when such an error is raised, copied and freed: each case here raises
// one through std::string, copies and assigns it, and reads the text after the original is gone.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

TEST(StringInstances, LibraryErrorsKeepTheirTexts) {
  struct Case {
    const char* what;
    std::function<void()> raise;
    std::string text;  // the start of what()
  };
  static const char* volatile noText = nullptr;
  const Case cases[] = {
      {"at past the end", [] { (void)std::string("ab").at(5); },
       "basic_string::at: __n (which is 5)"},
      {"substr past the end", [] { (void)std::string("ab").substr(3); }, "basic_string::substr"},
      {"longer than max_size", [] { std::string().resize(std::string().max_size() + 1); },
       "basic_string::_M_replace_aux"},
      {"construction from null", [] { std::string s(noText); },
       "basic_string: construction from null"},
      {"a text of the program's own", [] { throw std::length_error(std::string(300, 'x')); },
       std::string(300, 'x')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::logic_error copied("");
    std::logic_error assigned("an earlier text, freed by the assignment");
    try {
      c.raise();
      ADD_FAILURE() << "nothing raised";
      continue;
    } catch (const std::logic_error& e) {
      copied = std::logic_error(e);
      assigned = e;
    }
    EXPECT_EQ(std::string(copied.what()).substr(0, c.text.size()), c.text);
    EXPECT_STREQ(assigned.what(), copied.what());
  }
}

}  // namespace
