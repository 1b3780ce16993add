#pragma once

#include <QImage>
#include <QRect>

// Clear over the whole of the hole and solid in the ring of pixels around it.
inline bool isOpenInside(const QImage &frame, const QRect &hole)
{
    for (int y = hole.top() - 1; y <= hole.bottom() + 1; ++y) {
        for (int x = hole.left() - 1; x <= hole.right() + 1; ++x) {
            const bool corner = (x < hole.left() || x > hole.right()) && (y < hole.top() || y > hole.bottom());
            if (corner)
                continue;
            const int alpha = qAlpha(frame.pixel(x, y));
            if (alpha != (hole.contains(x, y) ? 0 : 255))
                return false;
        }
    }
    return true;
}

// Every pixel fully opaque.
inline bool isSolid(const QImage &image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) != 255)
                return false;
    return true;
}
