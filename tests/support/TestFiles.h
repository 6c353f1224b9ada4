#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

namespace velmora::testing {

// The whole contents of a file; empty when it cannot be read.
inline QByteArray readAll(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes bytes as a file's whole contents; false when any of it could not be written.
inline bool writeAll(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace velmora::testing
