#include "download.h"

#include <QIODevice>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

constexpr int OkStatus = 200;

int statusOf(const QNetworkReply &reply)
{
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() ? status.toInt() : 0;
}

} // namespace

Download::Download(QObject *parent)
    : QObject(parent)
    , m_manager(new QNetworkAccessManager(this))
{
    m_manager->setProxy(QNetworkProxy::NoProxy);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { end(Outcome::TimedOut); });
}

Download::~Download()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        delete m_reply;
    }
}

void Download::start(const QString &url, QIODevice *target)
{
    abort();
    m_target = target;
    m_received = 0;
    m_expected = -1;
    m_status = 0;

    QNetworkRequest request{QUrl(url)};
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Mozilla/3.0 (compatible)"));
    request.setRawHeader("Accept", "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    // The old client spoke plain HTTP/1.x only.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setTransferTimeout(m_silenceMs);

    m_reply = m_manager->get(request);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, [this] {
        m_status = statusOf(*m_reply);
        const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
        m_expected = length.isValid() ? length.toLongLong() : -1;
        emit progress(m_received, m_expected);
    });
    connect(m_reply, &QNetworkReply::readyRead, this, &Download::readBody);
    connect(m_reply, &QNetworkReply::finished, this, &Download::replyFinished);
    m_deadline.start(m_deadlineMs);
}

void Download::abort()
{
    if (m_reply)
        end(Outcome::Aborted);
}

void Download::readBody()
{
    const QByteArray chunk = m_reply->readAll();
    // An error page is not the file asked for.
    if (statusOf(*m_reply) != OkStatus || chunk.isEmpty())
        return;
    if (m_maxSize >= 0 && m_received + chunk.size() > m_maxSize) {
        end(Outcome::TooLong);
        return;
    }
    if (m_target->write(chunk) != chunk.size()) {
        end(Outcome::WriteFailed);
        return;
    }
    m_received += chunk.size();
    emit progress(m_received, m_expected);
}

void Download::replyFinished()
{
    m_status = statusOf(*m_reply);
    const QNetworkReply::NetworkError error = m_reply->error();
    if (error == QNetworkReply::NoError && m_status == OkStatus)
        readBody();
    if (!m_reply)
        return; // readBody() ended it
    if (m_status >= 400 || (m_status != 0 && m_status != OkStatus))
        end(Outcome::ErrorStatus);
    else if (m_status == 0)
        end(Outcome::NoAnswer);
    else if (error != QNetworkReply::NoError || (m_expected >= 0 && m_received != m_expected))
        end(Outcome::Cut);
    else
        end(Outcome::Complete);
}

void Download::end(Outcome outcome)
{
    m_deadline.stop();
    QNetworkReply *reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    if (!reply->isFinished())
        reply->abort();
    reply->deleteLater();
    emit finished(outcome);
}
