#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What a run of tarvle-tool printed and how it ended.
struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

inline ToolRun tool(const QStringList &args)
{
    QProcess process;
    process.start(QStringLiteral(TARVLE_TOOL), args);
    process.waitForFinished(60000);
    return ToolRun{process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                   QString::fromUtf8(process.readAllStandardError())};
}
