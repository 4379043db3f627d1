#include "app/shell/icons.h"

#include <QPainter>
#include <QPixmap>

#include <vector>

// The icon resources live in a static library; they are registered on first use.
static void RegisterIconResources()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

struct IconEntry
{
    IconKind Kind;
    const char *File; // resources/icons/<File>.svg
    const char *ThemeName; // freedesktop standard name, or null when there is none
};

const IconEntry kIcons[] = {
    { IconKind::Save, "save", "document-save" },
    { IconKind::Open, "open", "document-open" },
    { IconKind::PortClosed, "port-closed", nullptr },
    { IconKind::PortOpen, "port-open", nullptr },
    { IconKind::Pause, "pause", "media-playback-pause" },
    { IconKind::SendWindow, "send-window", nullptr },
    { IconKind::FindWindow, "find-window", nullptr },
    { IconKind::Find, "find", "edit-find" },
    { IconKind::FindNext, "find-next", nullptr },
    { IconKind::Print, "print", "document-print" },
    { IconKind::PrintPreview, "print-preview", "document-print-preview" },
    { IconKind::ColorSettings, "color", nullptr },
    { IconKind::Converter, "converter", nullptr },
    { IconKind::AsciiTable, "ascii-table", nullptr },
    { IconKind::DisplayTime, "time", nullptr },
    { IconKind::DisplaySending, "show-sending", nullptr },
    { IconKind::WordWrap, "word-wrap", nullptr },
    { IconKind::Filter, "filter", nullptr },
    { IconKind::AsciiReceive, "ascii-receive", nullptr },
    { IconKind::ClearScreen, "clear", "edit-clear" },
    { IconKind::SendLine, "send", "document-send" },
    { IconKind::LoopSend, "loop", nullptr },
    { IconKind::TriggerSend, "trigger", nullptr },
    { IconKind::Checksum, "checksum", nullptr },
    { IconKind::AsciiSend, "ascii-send", nullptr },
    { IconKind::SendSettings, "settings", "preferences-system" },
};

const IconEntry &EntryFor(IconKind kind)
{
    for (const IconEntry &entry : kIcons) {
        if (entry.Kind == kind)
            return entry;
    }
    return kIcons[0];
}

QIcon ResourceIcon(const QString &file)
{
    static const bool registered = (RegisterIconResources(), true);
    (void)registered;
    return QIcon(QStringLiteral(":/icons/") + file + QStringLiteral(".svg"));
}

} // namespace

QIcon BuiltInIcon(IconKind kind)
{
    return ResourceIcon(QString::fromLatin1(EntryFor(kind).File));
}

QIcon MakeIcon(IconKind kind)
{
    const IconEntry &entry = EntryFor(kind);
    if (entry.ThemeName && QIcon::hasThemeIcon(QString::fromLatin1(entry.ThemeName)))
        return QIcon::fromTheme(QString::fromLatin1(entry.ThemeName));
    return BuiltInIcon(kind);
}

const std::vector<IconKind> &AllIconKinds()
{
    static const std::vector<IconKind> kinds = [] {
        std::vector<IconKind> all;
        for (const IconEntry &entry : kIcons)
            all.push_back(entry.Kind);
        return all;
    }();
    return kinds;
}

QIcon ApplicationIcon()
{
    return QIcon::fromTheme(QStringLiteral("corvella"), ResourceIcon(QStringLiteral("corvella")));
}

QIcon DocumentIcon()
{
    return QIcon::fromTheme(QStringLiteral("application-x-corvella-crvm"),
        ResourceIcon(QStringLiteral("application-x-corvella-crvm")));
}

QIcon MakeColorIcon(const QColor &color)
{
    // Drawn at the size it is shown and at twice that, so it stays sharp on HiDPI screens.
    QIcon icon;
    for (int size : { 20, 40 }) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 20.0, size / 20.0);
        p.setPen(QPen(QColor(0x3d, 0x44, 0x50), 1.5));
        p.setBrush(color);
        p.drawRoundedRect(QRectF(2.75, 2.75, 14.5, 14.5), 2, 2);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}
