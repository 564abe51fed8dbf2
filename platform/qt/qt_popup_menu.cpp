#include "platform/qt/qt_popup_menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

#include "platform/qt/qt_convert.h"

namespace corvane {

std::optional<int> QtPopupMenu::show(std::span<const MenuItem> items) {
    QMenu menu;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& caption = items[i].caption;
        if (caption == "-") {
            menu.addSeparator();
            continue;
        }
        QAction* action = menu.addAction(latin1(caption));
        action->setData(static_cast<int>(i));
    }
    // The end of the program hides every top-level window, this menu too, which ends its loop.
    const QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen) return std::nullopt;
    return chosen->data().toInt();
}

}  // namespace corvane
