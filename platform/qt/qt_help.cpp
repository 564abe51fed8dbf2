#include "platform/qt/qt_help.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "platform/help_page.h"
#include "platform/qt/qt_convert.h"

namespace corvane {

namespace {

// Beside the program in a build folder; an installed program finds it where the install puts shared
// data, share/corvane/help next to the bin folder that holds the program.
QString helpPagePath(const std::string& besideProgram) {
    const QString beside = fromLocal(besideProgram);
    if (QFileInfo::exists(beside)) return beside;
    const QString installed =
        QCoreApplication::applicationDirPath() + "/../share/corvane/" + kHelpFolder + "/" + kHelpPage;
    return QFileInfo::exists(installed) ? QFileInfo(installed).canonicalFilePath() : beside;
}

}  // namespace

void QtHelp::show(const std::string& helpFile, HelpCommand command, int context) {
    const HtmlHelpPage page = htmlHelpPage(helpFile, '/', command, context);
    QUrl url = QUrl::fromLocalFile(helpPagePath(page.file));
    if (!page.anchor.empty()) url.setFragment(latin1(page.anchor));
    QDesktopServices::openUrl(url);
}

}  // namespace corvane
