#pragma once

#include <string>
#include <string_view>

namespace common {

// The text without its leading and trailing space characters. Only " " is removed: tabs, line
// feeds and other white space are kept, since ids are stored exactly as the host wrote them.
std::string TrimBlanks(std::string_view text);

}  // namespace common
