#include "errorbox.h"

#include <QMessageBox>

namespace ErrorBox {

namespace {

constexpr auto Title = "Tarvle Solo";

} // namespace

QString withFullStop(const QString &message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void show(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(Title), withFullStop(message),
                    QMessageBox::Ok, parent);
    box.exec();
}

void inform(QWidget *parent, const QString &message)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(Title), message, QMessageBox::Ok, parent);
    box.exec();
}

} // namespace ErrorBox
