#pragma once

#include <string>
#include <vector>

namespace win32 {

// The arguments of this process's command line after the program name, split as
// CommandLineToArgvW splits them, in UTF-8; empty when there are none or it cannot be split.
std::vector<std::string> ProgramArguments();

}  // namespace win32
