#include "linkopener.h"

#include <QDesktopServices>
#include <QUrl>

void LinkOpener::open() const
{
    if (m_address.isEmpty())
        return;
    QDesktopServices::openUrl(QUrl(m_scheme + m_address));
}
