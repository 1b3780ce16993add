#include "download.h"

#include "httperror.h"

#include <QEventLoop>
#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

constexpr int FirstErrorStatus = 400;
constexpr int NotConnectedStatus = 404;

int statusOf(const QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() ? status.toInt() : 0;
}

} // namespace

qint64 Download::get(const QString &url, QIODevice &target)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);

    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/3.0 (compatible)"));
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    // The old client spoke plain HTTP/1.x only.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(TransferTimeoutMs);

    QNetworkReply *reply = manager.get(request);
    qint64 written = 0;
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        const QByteArray chunk = reply->readAll();
        // An error page is not the file asked for.
        if (statusOf(*reply) >= FirstErrorStatus || chunk.isEmpty())
            return;
        const qint64 n = target.write(chunk);
        if (n > 0)
            written += n;
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    if (!reply->isFinished())
        loop.exec();

    const int status = statusOf(*reply);
    if (status >= FirstErrorStatus)
        throw HttpError(status);
    if (reply->error() != QNetworkReply::NoError)
        throw HttpError(NotConnectedStatus);
    const QByteArray rest = reply->readAll();
    if (!rest.isEmpty()) {
        const qint64 n = target.write(rest);
        if (n > 0)
            written += n;
    }
    return written;
}
