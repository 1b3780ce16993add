#pragma once

#include "linkopener.h"

#include <QPixmap>
#include <QWidget>

// Points the player to the maker's multiplayer game: two lines and a
// picture, each opening its page.
class Tmultiplayer : public QWidget
{
    Q_OBJECT

public:
    explicit Tmultiplayer(const QPixmap &background, QWidget *parent = nullptr);

    const LinkOpener &URL1() const { return m_url; }

    void showOver(const QWidget *window);
    void Label6Click();
    void button_doneClick();

private:
    LinkOpener m_url{QStringLiteral("http://")};
    bool m_placed = false;
};
