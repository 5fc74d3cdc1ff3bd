#include "contract/ini_contract.h"
#include "adapters/portable/portable_ini_files.h"

namespace vt2::test {
std::unique_ptr<IniFiles> MakeIniFilesUnderTest() { return std::make_unique<PortableIniFiles>(); }
}  // namespace vt2::test
