#include "commands.h"

#include "dictionaryerror.h"
#include "wordrecords.h"

#include <QFile>
#include <QTextStream>

namespace ToolCommands {

int lookup(const QStringList &words, QTextStream &out, QTextStream &err)
{
    // Searches the list compiled into the program directly, so no file is
    // written beside the caller.
    QFile list(QStringLiteral(":/TEXT_DEMO"));
    if (!list.open(QIODevice::ReadOnly)) {
        err << "tarvle-tool: the built-in word list is missing\n";
        return Failed;
    }
    WordRecords records(&list);
    try {
        for (const QString &word : words)
            out << word << (records.checkword(word) ? " yes" : " no") << '\n';
    } catch (const DictionaryError &e) {
        err << "tarvle-tool: " << e.what() << '\n';
        return Failed;
    }
    return Ok;
}

} // namespace ToolCommands
