#include "platform/qt/qt_choosers.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

#include "platform/qt/qt_convert.h"
#include "platform/qt/qt_form_peer.h"

namespace corvane {

namespace {

QWidget* parentOf(Form& owner) { return &static_cast<QtFormPeer&>(owner.peer()).widget(); }

}  // namespace

QStringList qtNameFilters(const std::string& filter) {
    const QStringList parts = latin1(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString patterns = QString(parts[i + 1]).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses: a description that shows them already stays.
        filters << (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')'))
                        ? description
                        : description + QLatin1String(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

std::optional<Color> QtChoosers::chooseColor(Form& owner, Color initial) {
    QColorDialog dialog(toQColor(initial), parentOf(owner));
    dialog.setOption(QColorDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return fromQColor(dialog.selectedColor());
}

std::optional<std::string> QtChoosers::chooseFile(Form& owner, const FileChooserRequest& request) {
    QFileDialog dialog(parentOf(owner), latin1(request.title), fromLocal(request.initialDir));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = qtNameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters[request.filterIndex - 1]);
    if (!request.fileName.empty()) dialog.selectFile(fromLocal(request.fileName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return toLocal(dialog.selectedFiles().front());
}

void QtChoosers::messageBox(Form& owner, const std::string& text, MessageBoxKind kind,
                            const std::string& title) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (kind) {
        case MessageBoxKind::Exclamation:
            icon = QMessageBox::Warning;
            break;
    }
    QMessageBox box(icon, latin1(title), latin1(text), QMessageBox::Ok, parentOf(owner));
    box.exec();
}

}  // namespace corvane
