#include "app/file_dialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

namespace {

// The filter text "description|pattern|description|pattern..." as the dialog's type list. The
// description is shown as it stands; the pattern goes in the brackets that Qt reads and hides.
QStringList nameFilters(const QString &filter)
{
    const QStringList fields = filter.trimmed().split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < fields.size(); i += 2) {
        QString patterns = fields[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters << QStringLiteral("%1 (%2)").arg(fields[i], patterns);
    }
    return filters;
}

}

bool FileDialogControl::show()
{
    const FileDialogSettings &s = m_settings;
    const bool opening = s.mode == 0;
    QPointer<QWidget> owner = qobject_cast<QWidget *>(parent());

    QFileDialog dialog(owner);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !s.overwritePrompt);
    dialog.setAcceptMode(opening ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    // A new note must be nameable, so only the open dialog insists on an existing file.
    dialog.setFileMode(opening && s.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!s.title.isEmpty())
        dialog.setWindowTitle(s.title);
    if (!s.initialDirectory.isEmpty())
        dialog.setDirectory(s.initialDirectory);
    if (!s.defaultExtension.isEmpty())
        dialog.setDefaultSuffix(s.defaultExtension);
    const QStringList filters = nameFilters(s.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.value(std::max(0, s.initialFilter), filters.first()));
    }
    if (!s.fileName.isEmpty()) {
        // The name field shows the name; the dialog starts in its folder unless a first folder is given.
        // (Selecting the whole path would also select the folder in the list, and two selected
        // entries keep the open dialog from accepting.)
        const QFileInfo previous(s.fileName);
        if (s.initialDirectory.isEmpty() && previous.absoluteDir().exists())
            dialog.setDirectory(previous.absolutePath());
        dialog.selectFile(previous.fileName());
    }

    for (;;) {
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        const QFileInfo chosen(dialog.selectedFiles().constFirst());
        if (s.pathMustExist && !chosen.absoluteDir().exists()) {
            QMessageBox::warning(&dialog, dialog.windowTitle(),
                                 QStringLiteral("文件夹“%1”不存在。\n请检查路径是否正确。")
                                     .arg(QDir::toNativeSeparators(chosen.absolutePath())));
            continue;
        }
        m_settings.fileName = chosen.absoluteFilePath();
        if (!s.keepCurrentDirectory)
            QDir::setCurrent(chosen.absolutePath());
        return true;
    }
}
