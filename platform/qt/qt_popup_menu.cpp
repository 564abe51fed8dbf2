#include "platform/qt/qt_popup_menu.h"

#include <QAction>
#include <QCursor>
#include <QMenu>

namespace corvane {

std::optional<int> QtPopupMenu::show(std::span<const MenuItem> items) {
    QMenu menu;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& caption = items[i].caption;
        if (caption == "-") {
            menu.addSeparator();
            continue;
        }
        // Single-byte texts, as the Windows program's are.
        QAction* action =
            menu.addAction(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())));
        action->setData(static_cast<int>(i));
    }
    // The end of the program hides every top-level window, this menu too, which ends its loop.
    const QAction* chosen = menu.exec(QCursor::pos());
    if (!chosen) return std::nullopt;
    return chosen->data().toInt();
}

}  // namespace corvane
