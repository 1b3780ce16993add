#pragma once

#include <QString>
#include <QtGlobal>

class QIODevice;

// The blocking download: an HTTP GET whose body goes into a caller's device.
// It waits in a local event loop, so timers and input go on meanwhile.
class Download
{
public:
    // Gives up on a server that sends nothing for this long.
    static constexpr int TransferTimeoutMs = 60000;

    // Returns the bytes written once the transfer has ended. Throws HttpError
    // with the status for an answer of 400 or more, and with 404 when the
    // host cannot be resolved or reached or the transfer breaks off.
    static qint64 get(const QString &url, QIODevice &target);
};
