#pragma once

#include <QProxyStyle>

// The platform's style, except that the icons of the tool bar and menu bar
// extension buttons are read from their files only when first drawn. The
// menu bar asks for one as it is made, and reading a picture file loads every
// image format plugin to probe it, which would hold up the start for a button
// that is hardly ever shown. Everything drawn is the base style's own.
class DeferredIconStyle : public QProxyStyle
{
    Q_OBJECT

public:
    DeferredIconStyle();

    QIcon standardIcon(StandardPixmap standardIcon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};
