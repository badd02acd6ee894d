// The members of the old, copy-on-write std::string that libstdc++'s exception classes call.
// std::logic_error and its kin keep their text in that string (cow-stdexcept.o), and the
// library's own copies of these few members sit in one archive member with every other member
// of it, and with a piece of std::random_device that drags in the whole instantiation of the
// new std::string (see StringInstances.cpp): about 60 KB of install.exe for seven functions.
// Instantiated here, in an object that comes before the library on the link line, they satisfy
// cow-stdexcept.o, and those archive members stay out. The library's copies are COMDAT as
// these are, so should another libstdc++ want another member, its archive member simply comes
// back: the link stays sound and only the stub grows, which the build's checks report.
// (The list is what `nm -u cow-stdexcept.o` shows for GCC 12.)
#define _GLIBCXX_USE_CXX11_ABI 0
#include <string>

template char* std::string::_S_construct(size_type, char, const std::allocator<char>&);
template std::string::_Rep* std::string::_Rep::_S_create(size_type, size_type,
                                                         const std::allocator<char>&);
template char* std::string::_Rep::_M_clone(const std::allocator<char>&, size_type);
template void std::string::_Rep::_M_dispose(const std::allocator<char>&);
template void std::string::_Rep::_M_destroy(const std::allocator<char>&) throw();
template void std::string::swap(std::string&);
template std::string& std::string::assign(const std::string&);
