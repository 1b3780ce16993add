#include "deferredicons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

#include <functional>
#include <memory>
#include <optional>

namespace {

// An icon made by a function the first time it is needed, and from then on
// exactly that icon.
class DeferredIconEngine : public QIconEngine
{
public:
    explicit DeferredIconEngine(std::function<QIcon()> make)
        : m_make(std::make_shared<Made>(Made{std::move(make), std::nullopt}))
    {
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

    QString iconName() override { return icon().name(); }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("DeferredIconEngine"); }
    QIconEngine *clone() const override { return new DeferredIconEngine(*this); }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        // size is in device pixels already, as QIcon asks its engine.
        return icon().pixmap(size / scale, scale, mode, state);
    }

private:
    struct Made {
        std::function<QIcon()> make;
        std::optional<QIcon> icon;
    };

    const QIcon &icon()
    {
        if (!m_make->icon)
            m_make->icon = m_make->make();
        return *m_make->icon;
    }

    // Shared with the clones, so the icon is made once.
    std::shared_ptr<Made> m_make;
};

} // namespace

DeferredIconStyle::DeferredIconStyle() = default;

QIcon DeferredIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption *option,
                                      const QWidget *widget) const
{
    if (standardIcon != SP_ToolBarHorizontalExtensionButton && standardIcon != SP_ToolBarVerticalExtensionButton)
        return QProxyStyle::standardIcon(standardIcon, option, widget);
    // The option and widget are gone by the time the icon is drawn; what
    // they tell (the direction) is the application's.
    QPointer<QStyle> base = baseStyle();
    return QIcon(new DeferredIconEngine([base, standardIcon] {
        return base ? base->standardIcon(standardIcon) : QIcon();
    }));
}
