#include "errorbox.h"

#include <QCoreApplication>
#include <QMessageBox>

#include <cstdio>

namespace ErrorBox {

namespace {

constexpr auto Title = "Tarvle Solo";

bool unattended = false;

// No one is there to press OK: the message goes to standard error.
bool toStandardError(const QString &message)
{
    if (!unattended)
        return false;
    std::fprintf(stderr, "%s: %s\n", Title, message.toLocal8Bit().constData());
    return true;
}

} // namespace

void setUnattended()
{
    unattended = true;
}

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void show(QWidget *parent, const QString &message)
{
    if (toStandardError(withFullStop(message)))
        return;
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(Title), withFullStop(message),
                    QMessageBox::Ok, parent);
    box.exec();
}

QString outOfMemoryMessage()
{
    return QCoreApplication::translate("ErrorBox",
                                       "There was not enough memory to finish what was asked. "
                                       "The game goes on; closing other programs may help.");
}

void inform(QWidget *parent, const QString &message)
{
    if (toStandardError(message))
        return;
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(Title), message, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace ErrorBox
