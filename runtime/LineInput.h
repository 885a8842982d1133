#pragma once
// Line input of text files as the program reads its manifests: a line ends at CR LF or at a lone
// CR; a bare LF does not end a line and stays part of it. The last line needs no terminator.

#include <string>
#include <string_view>
#include <vector>

namespace rt {

std::vector<std::string> SplitInputLines(std::string_view bytes);

}  // namespace rt
