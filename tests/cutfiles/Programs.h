// The real programs that read the files for the shops and for CAD, run from the tests.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Debian's Python modules are Debian's interpreter's, which may not be the first on the PATH.
inline const QString kDebianPython = QStringLiteral("/usr/bin/python3");

// What `program` prints, its errors among it; its exit code, or −1 where it did not finish.
inline QString run(const QString& program, const QStringList& arguments, int* exitCode = nullptr)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(180000);
    if (exitCode)
        *exitCode = finished && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return QString::fromUtf8(process.readAll());
}
