#include "engine/window_style.h"

#include "engine/engine.h"

namespace vt2 {

void RemoveWindowBorder(Engine& engine) {
    WindowSystem& windows = engine.os.windows;
    const WindowHandle game = engine.state.gameWindow;
    const std::uint32_t style = windows.windowStyle(game);
    windows.setWindowStyle(game, style & kVisibleStyle);
    windows.moveToTopLeftWithNewFrame(game);
}

}  // namespace vt2
