#include "contract/ini_contract.h"
#include "adapters/win32/win32_ini_files.h"

namespace vt2::test {
std::unique_ptr<IniFiles> MakeIniFilesUnderTest() { return std::make_unique<win32::Win32IniFiles>(); }
}  // namespace vt2::test
