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

// Packs any file into a "WRZL" container, or unpacks one; a failure prints
// the compressor's message.
int lzrwPack(const QString &input, const QString &output, QTextStream &out, QTextStream &err);
int lzrwUnpack(const QString &input, const QString &output, QTextStream &out, QTextStream &err);

// The counters and the ten records of a tally file, one line each; an empty
// slot shows its rank alone. Fields are separated by tabs.
int tallyShow(const QString &file, QTextStream &out, QTextStream &err);

// The 64 letters, in reading order, of the board of a board code.
int deal(const QString &code, QTextStream &out, QTextStream &err);

// The board code of a day's board, given as YYYY-MM-DD; today in UTC when
// the date is empty.
int daily(const QString &date, QTextStream &out, QTextStream &err);

// Every word of the built-in list on each board (64 letters in reading
// order): one line "WORD POINTS c,r c,r ..." per word, then "total: N words,
// M points". Every board is checked before any is solved.
int solve(const QStringList &boards, QTextStream &out, QTextStream &err);

// Prints the line to serve beside FILE as its update signature: FILE signed
// with the Ed25519 private key in the PEM file KEY.
int sign(const QString &key, const QString &file, QTextStream &out, QTextStream &err);

} // namespace ToolCommands
