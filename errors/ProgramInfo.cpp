#include "errors/ProgramInfo.h"

#include "VelmoraConfig.h"

#include <QCoreApplication>
#include <QDir>

namespace velmora {

ProgramInfo ProgramInfo::current() {
    ProgramInfo info;
    if (QCoreApplication::instance() != nullptr) {
        info.folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
        info.executablePath = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
    }
    info.title = QString::fromUtf8(config::title);
    info.major = config::versionMajor;
    info.minor = config::versionMinor;
    info.revision = config::versionRevision;
    return info;
}

} // namespace velmora
