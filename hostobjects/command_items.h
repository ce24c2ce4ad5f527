// Splitting the process command line into the items scripts see as
// Application.cmdItems.
#pragma once

#include <string>
#include <vector>

namespace kelpo {

// Items of a command line: leading blanks and tabs are skipped; an item
// opened by a double quote runs to the next double quote, one opened by a
// single quote to the next single quote, any other to the next blank. The
// quotes are not part of the item. The first item (the program) and empty
// items are dropped.
std::vector<std::string> SplitCommandItems(const std::string& commandLine);

}  // namespace kelpo
