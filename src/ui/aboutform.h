#pragma once

#include "linkopener.h"

#include <QPixmap>
#include <QWidget>

class QLabel;

// The about window: the logo, the maker's address, the credits and the
// version line. Hidden, not destroyed, by its Done button.
class Tabout : public QWidget
{
    Q_OBJECT

public:
    // version: the program's, as "1.0.0".
    Tabout(const QPixmap &background, const QString &version, QWidget *parent = nullptr);

    QString versionText() const;
    // The maker's home page; the main window's logo opens it too.
    const LinkOpener &URL1() const { return m_url; }

    void showOver(const QWidget *window);
    void Label7Click();
    void button_doneClick();

private:
    LinkOpener m_url{QStringLiteral("http://")};
    QLabel *m_version = nullptr;
    bool m_placed = false;
};
