#pragma once
// The game's name, as the command line gives it, names its files: memcfg\<name>.ini and
// joycfg\<name>.ini beside the program.

#include <cstddef>
#include <string>
#include <string_view>

namespace vt2 {

// The arguments of the command line as the game's name: one pair of quotes around the whole text
// is taken off, as a shortcut or a front end puts them round a name with blanks.
std::string GameNameFromArguments(std::string_view arguments);

// The longest name whose files' names ("<name>.ini") a file system takes: 255 characters.
inline constexpr std::size_t kMaxGameNameLength = 251;

// A name that can only name a file of the program's own folders: not empty, no longer than a
// file's name may be, no folder separator, drive or "..", no character Windows forbids in a file
// name, and not a device (CON, NUL, COM1...).
bool IsUsableGameName(std::string_view name);

}  // namespace vt2
