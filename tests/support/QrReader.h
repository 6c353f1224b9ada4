#pragma once

#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include <optional>

namespace velmora::testing {

// The text a real QR reader (zbarimg, package zbar-tools) finds in a picture; nothing when the
// reader is not installed, and *failure says what went wrong when it reads nothing.
inline std::optional<QString> readQrCode(const QImage &picture, QString *failure) {
    const QString reader = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
    if (reader.isEmpty()) {
        return std::nullopt;
    }
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("code.png"));
    if (!picture.save(file)) {
        *failure = QStringLiteral("the picture could not be saved");
        return QString();
    }
    QProcess zbar;
    zbar.start(reader, {QStringLiteral("--raw"), QStringLiteral("-q"), file});
    if (!zbar.waitForFinished(30000) || zbar.exitCode() != 0) {
        *failure = QStringLiteral("zbarimg read nothing: %1")
                       .arg(QString::fromLocal8Bit(zbar.readAllStandardError()));
        return QString();
    }
    QString text = QString::fromUtf8(zbar.readAllStandardOutput());
    if (text.endsWith(QLatin1Char('\n'))) {
        text.chop(1);
    }
    return text;
}

} // namespace velmora::testing
