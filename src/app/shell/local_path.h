#pragma once

#include <QFile>
#include <QString>

#include <string>

// File names as the system takes them (the user's locale encoding) and back.
inline std::string LocalPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

inline QString FromLocalPath(const std::string &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path));
}
