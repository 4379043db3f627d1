#pragma once

#include <QString>

#include <functional>

class QWidget;

// Every file and folder chooser goes through here, so tests can pick the path
// instead of a person. With no handler installed the real dialog is shown.
enum class FileDialogKind { Save, Open, Folder };

struct FileDialogRequest
{
    FileDialogKind Kind = FileDialogKind::Open;
    QWidget *Owner = nullptr;
    QString Title;
    QString Filter; // Qt filter list; empty for folders
    QString Proposed; // file name or folder the dialog starts with
};

// Returns the chosen path, or an empty text when the user cancelled.
using FileDialogHandler = std::function<QString(const FileDialogRequest &)>;

// Installs a handler for the rest of the run (tests); an empty one restores real dialogs.
void SetFileDialogHandler(FileDialogHandler handler);

QString ShowFileDialog(const FileDialogRequest &request);

// The folder chooser: folders only, modal to the whole program, opening on
// `initialFolder`. Empty when the user cancels.
QString BrowseForFolder(const QString &title, const QString &initialFolder);
