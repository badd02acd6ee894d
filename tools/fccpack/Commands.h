// fccpack's commands. Each returns normally on success and raises TToolError otherwise;
// what they print goes to the given streams.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fccpack {

struct TPackOptions {
  std::string Output;
  std::vector<std::string> Inputs;
  std::string Root;  // the Windows folder of path names; empty: no sub-folders allowed
};

void Pack(const TPackOptions& options, std::ostream& out, std::ostream& err);
void List(const std::string& payloadPath, std::ostream& out);
void Verify(const std::string& payloadPath, std::ostream& out, std::ostream& err);
void Extract(const std::string& payloadPath, const std::string& folder, std::ostream& out);

}  // namespace fccpack
