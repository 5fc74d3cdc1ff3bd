#pragma once
// The rules every IniFiles implementation must keep. The same suite runs against the portable
// reader natively and against the profile-string functions under Wine.

#include <memory>

#include "platform/ini_files.h"

namespace vt2::test {

// Defined once per test program: the implementation under test.
std::unique_ptr<IniFiles> MakeIniFilesUnderTest();

}  // namespace vt2::test
