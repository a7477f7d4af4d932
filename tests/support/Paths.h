// Where the built artefacts are: beside the test executables.
#pragma once

#include <string>

namespace testing_support {

std::string OwnExecutable();
std::string BuiltFile(const char* name);  // e.g. "Mirelunde.dll"
std::string TempDirectory();              // a fresh directory of this process's own

}  // namespace testing_support
