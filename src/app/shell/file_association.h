#pragma once

#include <QString>

// Writes the resource at `resourcePath` to `filePath` (through a temporary file).
// Returns false on any error.
bool ExtractResourceToFile(const QString &resourcePath, const QString &filePath);

// Associates "*.<ext>" message files with the program for the desktop: a
// shared-mime-info package and a .desktop entry under $XDG_DATA_HOME, written
// only when they differ from what is there, then the desktop databases are
// refreshed when their tools are present. The document icon (`iconPath`, any
// image Qt reads, an ICO included) is installed as a PNG into the icon theme
// under the MIME type's name, since themes take no ICO. Returns true when
// something changed. Nothing is written when the system already associates the
// type (an installed package in $XDG_DATA_DIRS); per-user copies of an earlier
// run are then removed.
bool RegisterFileType(const QString &ext, const QString &programPath, const QString &iconPath);

// Whether a folder of $XDG_DATA_DIRS holds the MIME package and launcher for "*.<ext>".
bool SystemAssociationExists(const QString &ext);

// Refreshing the desktop's databases after a change can be switched off (tests).
void SetDesktopDatabaseUpdates(bool enabled);
