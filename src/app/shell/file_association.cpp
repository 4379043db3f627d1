#include "app/shell/file_association.h"

#include "app/shell/local_path.h"
#include "shell/atomic_file.h"
#include "shell/settings_record.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>

namespace {

bool desktopDatabaseUpdates = true;

// Writes only when the content differs, so an unchanged association costs nothing.
bool WriteIfDifferent(const QString &path, const QByteArray &content)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return false;
    WriteFileAtomically(LocalPath(path), content.toStdString());
    return true;
}

QString MimeType(const QString &ext)
{
    return "application/x-corvella-" + ext;
}

// The theme's name for a MIME type's icon: the type with "-" for "/".
QString MimeIconName(const QString &ext)
{
    return MimeType(ext).replace('/', '-');
}

// The document icon as PNG, 48 x 48; empty when the icon cannot be read.
QByteArray DocumentIconPng(const QString &iconPath)
{
    QImage image(iconPath);
    if (image.isNull())
        return {};
    if (image.size() != QSize(48, 48))
        image = image.scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    return png;
}

QByteArray MimePackage(const QString &ext)
{
    return QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                   "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                   "  <mime-type type=\"%1\">\n"
                   "    <comment>Corvella message file</comment>\n"
                   "    <icon name=\"%3\"/>\n"
                   "    <glob pattern=\"*.%2\"/>\n"
                   "  </mime-type>\n"
                   "</mime-info>\n")
        .arg(MimeType(ext), ext, MimeIconName(ext))
        .toUtf8();
}

// Desktop entries quote arguments with double quotes; backslash, quote, dollar
// and backquote are escaped inside them.
QString QuoteExec(const QString &path)
{
    QString quoted = path;
    for (const char *c : { "\\", "\"", "$", "`" })
        quoted.replace(c, QString("\\") + c);
    return "\"" + quoted + "\"";
}

QByteArray DesktopEntry(const QString &ext, const QString &programPath, const QString &iconPath)
{
    return QString("[Desktop Entry]\n"
                   "Type=Application\n"
                   "Name=Corvella\n"
                   "Comment=Serial port terminal\n"
                   "Exec=%1 %f\n"
                   "Icon=%2\n"
                   "MimeType=%3;\n"
                   "Terminal=false\n"
                   "Categories=Development;Electronics;\n")
        .arg(QuoteExec(programPath), iconPath, MimeType(ext))
        .toUtf8();
}

void RunIfPresent(const QString &tool, const QString &folder)
{
    if (!desktopDatabaseUpdates)
        return;
    const QString program = QStandardPaths::findExecutable(tool);
    if (!program.isEmpty())
        QProcess::startDetached(program, { folder });
}

} // namespace

void SetDesktopDatabaseUpdates(bool enabled)
{
    desktopDatabaseUpdates = enabled;
}

bool ExtractResourceToFile(const QString &resourcePath, const QString &filePath)
{
    try {
        QFile resource(resourcePath);
        if (!resource.open(QIODevice::ReadOnly))
            return false;
        WriteFileAtomically(LocalPath(filePath), resource.readAll().toStdString());
        return true;
    } catch (...) {
        return false;
    }
}

bool SystemAssociationExists(const QString &ext)
{
    // The folders of $XDG_DATA_DIRS, the installed package's among them.
    QString dirs = qEnvironmentVariable("XDG_DATA_DIRS");
    if (dirs.isEmpty())
        dirs = "/usr/local/share:/usr/share";
    for (const QString &dir : dirs.split(':', Qt::SkipEmptyParts)) {
        if (QFile::exists(dir + "/mime/packages/corvella-" + ext + ".xml")
            && QFile::exists(dir + "/applications/corvella.desktop"))
            return true;
    }
    return false;
}

bool RegisterFileType(const QString &ext, const QString &programPath, const QString &iconPath)
{
    const QString base = FromLocalPath(ExpandHomePath("HomeDrive"));
    const QString mimeFolder = base + "/mime";
    const QString appsFolder = base + "/applications";
    if (SystemAssociationExists(ext)) {
        // An installed package owns the association; a copy of an earlier run
        // from a build folder would hide it behind its own program path.
        const bool mimeRemoved = QFile::remove(mimeFolder + "/packages/corvella-" + ext + ".xml");
        const bool entryRemoved = QFile::remove(appsFolder + "/corvella.desktop");
        if (mimeRemoved)
            RunIfPresent("update-mime-database", mimeFolder);
        if (entryRemoved)
            RunIfPresent("update-desktop-database", appsFolder);
        return false;
    }
    const bool mimeChanged
        = WriteIfDifferent(mimeFolder + "/packages/corvella-" + ext + ".xml", MimePackage(ext));
    const bool entryChanged = WriteIfDifferent(
        appsFolder + "/corvella.desktop", DesktopEntry(ext, programPath, iconPath));
    const QByteArray png = DocumentIconPng(iconPath);
    const bool iconChanged = !png.isEmpty()
        && WriteIfDifferent(
            base + "/icons/hicolor/48x48/mimetypes/" + MimeIconName(ext) + ".png", png);
    if (mimeChanged)
        RunIfPresent("update-mime-database", mimeFolder);
    if (entryChanged)
        RunIfPresent("update-desktop-database", appsFolder);
    return mimeChanged || entryChanged || iconChanged;
}
