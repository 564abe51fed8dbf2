#include "shell/tray.h"

namespace corvane {

int mouseMessageOf(TrayEvent event) {
    switch (event) {
        case TrayEvent::MouseMove:
            return kIconMouseMove;
        case TrayEvent::LeftButtonDown:
            return kIconLeftDown;
        case TrayEvent::LeftButtonUp:
            return kIconLeftUp;
        case TrayEvent::LeftDoubleClick:
            return kIconLeftDoubleClick;
        case TrayEvent::RightButtonDown:
            return kIconRightDown;
        case TrayEvent::RightButtonUp:
            break;
    }
    return kIconRightUp;
}

std::string trayTip(std::string_view text) { return std::string(text.substr(0, kTrayTipLength)); }

}  // namespace corvane
