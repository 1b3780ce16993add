#include "stringfetch.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

StringFetch::StringFetch(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
}

void StringFetch::start(const QString &url)
{
    if (busy())
        return;
    QNetworkRequest request{QUrl(url)};
    request.setRawHeader("Accept", "*/*");
    request.setRawHeader("Cache-Control", "no-cache");
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    request.setTransferTimeout(TransferTimeoutMs);
    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::finished, this, &StringFetch::finished);
}

void StringFetch::finished()
{
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->deleteLater();
    // Error pages count as replies; only transport failures are dropped
    // (Qt numbers those below the content errors that mirror HTTP statuses).
    if (reply->error() != QNetworkReply::NoError
        && reply->error() < QNetworkReply::ContentAccessDenied)
        return;
    const QByteArray body = reply->readAll();
    if (body.isEmpty())
        return;
    const QString text = QString::fromUtf8(body);
    emit replied(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), text);
    emit doneString(text);
}
