#pragma once

#include "wordchecker.h"
#include "wordrecords.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QtGlobal>

#include <optional>

// The game's word list (`spell`). At creation it writes the built-in list to
// the file `English` in `folder` if no such file exists, then keeps that file
// open for reading and writing until close(), answering look-ups by a binary
// search on it. close() (at the latest the destructor) closes the file and
// deletes it, but only when it still holds exactly the built-in list.
//
// An `English` that holds anything else (a damaged list, another program's
// file) is never used, changed or deleted: the built-in list is then
// searched in place in the program, and notice() says so.
//
// Failures never throw here: a list that cannot be written leaves writeError()
// set, one that cannot be opened leaves opened() false, and every look-up then
// answers no. Only a seek or read error during a look-up throws DictionaryError.
class TDictn : public WordChecker
{
public:
    explicit TDictn(const QString &folder = QDir::currentPath(),
                    const QString &resourcePath = QStringLiteral(":/TEXT_DEMO"));
    ~TDictn() override;

    // The message the window shows when opened() is false.
    static QString notFoundMessage();

    bool opened() const { return m_opened; }
    QString fileName() const { return m_fileName; }
    // Empty unless writing the list at creation failed.
    QString writeError() const { return m_writeError; }
    // Empty unless `English` was someone else's file; the message for the
    // player then.
    QString notice() const { return m_notice; }

    qint32 findword(const QString &key);
    bool checkword(const QString &word) override;

    // The program's last use of the list; look-ups then answer no.
    void close();

private:
    Q_DISABLE_COPY_MOVE(TDictn)

    void writeList();
    bool holdsBuiltInList() const;
    // holdsBuiltInList() on the mapped file and the resource where it lies;
    // no answer when either cannot be had that way.
    std::optional<bool> sameInPlace() const;

    QString m_fileName;
    QString m_resourcePath;
    QString m_writeError;
    QString m_notice;
    QFile m_file;
    bool m_foreign = false;
    bool m_opened = false;
    bool m_closed = false;
    std::optional<WordRecords> m_records;
};
