#pragma once

#include "batch/BatchOptions.h"
#include "batch/BatchRun.h"

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>

namespace velmora::testing {

// Runs velmora-pdf in this process with arguments split as a shell splits them, and returns its
// exit status. The run is `configured` when given (it prints to its own streams), else one of
// its own printing to out and err, which `prepare` may set up first. A usage error is said in
// err, with velmora-pdf's status for it.
inline int execBatch(const QString &arguments, QString &out, QString &err,
                     const std::function<void(velmora::BatchRun &)> &prepare = {},
                     velmora::BatchRun *configured = nullptr) {
    out.clear();
    err.clear();
    const auto parsed = velmora::BatchOptions::parse(QStringList{QStringLiteral("velmora-pdf")} +
                                                     QProcess::splitCommand(arguments));
    if (!parsed.options) {
        err = parsed.error;
        return velmora::BatchOptions::exitUsage;
    }
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    velmora::BatchRun own(outStream, errStream);
    velmora::BatchRun &run = configured ? *configured : own;
    if (!configured && prepare) {
        prepare(own);
    }
    const int status = run.exec(*parsed.options);
    outStream.flush();
    errStream.flush();
    return status;
}

} // namespace velmora::testing
