#pragma once
// The outputs' delivery over DDE for the sender thread: one conversation for the run, made and
// ended on that thread, whose window messages it handles.

#include <memory>

#include "outputs/threaded_output_link.h"

namespace vt2::win32 {

// The factory the sender thread makes its delivery with.
std::unique_ptr<OutputDelivery> MakeDdeOutputDelivery();

}  // namespace vt2::win32
