#pragma once

#include <QList>
#include <QMenuBar>

// A menu bar that can show a separator between two of its items, which
// QMenuBar leaves undrawn.
class MenuBar : public QMenuBar
{
    Q_OBJECT

public:
    explicit MenuBar(QWidget *parent = nullptr);

    // Adds a disabled item that is drawn as an etched vertical line.
    QAction *addBarSeparator(const QString &objectName);
    bool isBarSeparator(const QAction *action) const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QList<const QAction *> m_separators;
};
