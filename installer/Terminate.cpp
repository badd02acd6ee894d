// What std::terminate does in install.exe. GCC's default handler first names the exception in
// flight on the standard error stream, which a GUI program does not have, and links the whole
// C++ name demangler for it (about 50 KB, with the C99 printf it uses). Every error of the
// program travels to the message loop and is shown there, so reaching terminate is a bug;
// ending at once is what the default handler does after its report. The tests keep GCC's.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler() {
  std::abort();
}

}  // namespace __gnu_cxx
