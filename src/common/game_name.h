#pragma once
// The game's name, as the command line gives it, names its files: memcfg\<name>.ini and
// joycfg\<name>.ini beside the program.

#include <string>
#include <string_view>

namespace vt2 {

// The arguments of the command line as the game's name: one pair of quotes around the whole text
// is taken off, as a shortcut or a front end puts them round a name with blanks.
std::string GameNameFromArguments(std::string_view arguments);

// A name that can only name a file of the program's own folders: not empty, no folder separator,
// drive or "..", no character Windows forbids in a file name, and not a device (CON, NUL, COM1...).
bool IsUsableGameName(std::string_view name);

}  // namespace vt2
