#pragma once

#include <QStringList>

class QTextStream;

// The tool's commands; each returns the process exit status.
namespace ToolCommands {

constexpr int Ok = 0;
constexpr int Failed = 1;
constexpr int BadArguments = 2;

// One line per word, "WORD yes" or "WORD no", from the built-in list.
int lookup(const QStringList &words, QTextStream &out, QTextStream &err);

// Types the letters on an empty word of the given board (64 letters in
// reading order) as the keyboard does; one line per letter, then the word's cells.
int route(const QString &board, const QString &letters, QTextStream &out, QTextStream &err);

} // namespace ToolCommands
