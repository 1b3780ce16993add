#include "menubar.h"

#include <QAction>
#include <QPainter>

MenuBar::MenuBar(QWidget *parent)
    : QMenuBar(parent)
{
}

QAction *MenuBar::addBarSeparator(const QString &objectName)
{
    // An item without text takes a narrow slot of its own, which a real
    // separator action would not get.
    auto *action = new QAction(this);
    action->setObjectName(objectName);
    action->setEnabled(false);
    addAction(action);
    m_separators.append(action);
    return action;
}

bool MenuBar::isBarSeparator(const QAction *action) const
{
    return m_separators.contains(action);
}

void MenuBar::paintEvent(QPaintEvent *event)
{
    QMenuBar::paintEvent(event);
    QPainter painter(this);
    for (const QAction *action : m_separators) {
        const QRect slot = actionGeometry(const_cast<QAction *>(action));
        if (slot.isEmpty() || !action->isVisible())
            continue;
        const int x = slot.center().x();
        const int top = slot.top() + slot.height() / 5;
        const int bottom = slot.bottom() - slot.height() / 5;
        painter.setPen(palette().color(QPalette::Dark));
        painter.drawLine(x, top, x, bottom);
        painter.setPen(palette().color(QPalette::Light));
        painter.drawLine(x + 1, top, x + 1, bottom);
    }
}
