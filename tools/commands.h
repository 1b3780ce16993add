#pragma once

#include <QStringList>

class QTextStream;

// The tool's commands; each returns the process exit status.
namespace ToolCommands {

constexpr int Ok = 0;
constexpr int Failed = 1;

// One line per word, "WORD yes" or "WORD no", from the built-in list.
int lookup(const QStringList &words, QTextStream &out, QTextStream &err);

} // namespace ToolCommands
