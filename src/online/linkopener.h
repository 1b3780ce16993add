#pragma once

#include <QString>

// Hands an address to the desktop's web browser. The address is used with
// the scheme prefix in front ("http://" or nothing); an empty address opens
// nothing. Whether the browser came up is not looked at.
class LinkOpener
{
public:
    explicit LinkOpener(const QString &scheme = QString())
        : m_scheme(scheme)
    {
    }

    QString address() const { return m_address; }
    void setAddress(const QString &address) { m_address = address; }
    void open() const;

private:
    QString m_scheme;
    QString m_address;
};
