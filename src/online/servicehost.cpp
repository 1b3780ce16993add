#include "servicehost.h"

namespace ServiceHost {

QString address()
{
    return QStringLiteral(TARVLE_SERVICE_HOST);
}

QString url(const QString &path)
{
    return QStringLiteral("http://") + address() + path;
}

} // namespace ServiceHost
