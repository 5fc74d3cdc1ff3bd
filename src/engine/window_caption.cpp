#include "engine/window_caption.h"

#include "common/text.h"

namespace vt2 {

std::string GetWindowCaption(WindowSystem& windows, WindowHandle window) {
    return RemoveNulCharacters(windows.windowText(window, 100));
}

}  // namespace vt2
