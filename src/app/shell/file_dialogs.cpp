#include "app/shell/file_dialogs.h"

#include <QFileDialog>

namespace {

FileDialogHandler &Handler()
{
    static FileDialogHandler handler;
    return handler;
}

void SetUpDialog(QFileDialog &dialog, const FileDialogRequest &request)
{
    switch (request.Kind) {
    case FileDialogKind::Save:
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        // The replace question is the program's own.
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        break;
    case FileDialogKind::Open:
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        // Any name may be typed: a missing file gets the program's own message.
        dialog.setFileMode(QFileDialog::AnyFile);
        break;
    case FileDialogKind::Folder:
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setWindowModality(Qt::ApplicationModal);
        break;
    }
    if (!request.Filter.isEmpty())
        dialog.setNameFilter(request.Filter);
    if (request.Kind == FileDialogKind::Folder)
        dialog.setDirectory(request.Proposed);
    else if (!request.Proposed.isEmpty())
        dialog.selectFile(request.Proposed);
}

} // namespace

void SetFileDialogHandler(FileDialogHandler handler)
{
    Handler() = std::move(handler);
}

QString ShowFileDialog(const FileDialogRequest &request)
{
    if (Handler())
        return Handler()(request);
    QFileDialog dialog(request.Owner, request.Title);
    SetUpDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString BrowseForFolder(const QString &title, const QString &initialFolder)
{
    return ShowFileDialog({ FileDialogKind::Folder, nullptr, title, {}, initialFolder });
}
