// The two members of std::string that libstdc++'s sso_string.o calls (std::logic_error and its
// kin convert their text through it). Our own code instantiates std::string as it goes, being
// C++20; without these, sso_string.o would fetch the library's instantiation of every member
// (27 KB). See CowStringInstances.cpp for the reasoning and for why the link stays sound.
// (The list is what `nm -u sso_string.o` shows for GCC 12.)
#include <string>

template void std::string::_M_assign(const std::string&);
template char* std::string::_M_create(size_type&, size_type);
