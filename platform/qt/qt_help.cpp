#include "platform/qt/qt_help.h"

#include <QDesktopServices>
#include <QUrl>

#include "platform/help_page.h"

namespace corvane {

void QtHelp::show(const std::string& helpFile, int command, int data) {
    const HtmlHelpPage page = htmlHelpPage(helpFile, '/', command, data);
    QUrl url = QUrl::fromLocalFile(
        QString::fromLocal8Bit(page.file.data(), static_cast<qsizetype>(page.file.size())));
    if (!page.anchor.empty()) url.setFragment(QString::fromLatin1(page.anchor.c_str()));
    QDesktopServices::openUrl(url);
}

}  // namespace corvane
