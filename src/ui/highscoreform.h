#pragma once

#include "linkopener.h"

#include <QPixmap>
#include <QUrl>
#include <QWidget>

class QTextBrowser;
class StringFetch;

// The online high score list: shows the list page that the service sends.
// Links in the page open in the web browser.
class Thighscore : public QWidget
{
    Q_OBJECT

public:
    explicit Thighscore(const QPixmap &background, QWidget *parent = nullptr);

    // Where requests go: "http://host:port"; the build's service host unless
    // set otherwise.
    void setServiceBase(const QString &base) { m_base = base; }

    void loadit();
    void showOver(const QWidget *window);
    void getitDoneString(const QString &body);
    void displayhtmlHotSpotClick(const QUrl &link);
    void button_doneClick();

private:
    QString m_base;
    StringFetch *getit = nullptr;
    QTextBrowser *displayhtml = nullptr;
    LinkOpener URL1;
    bool m_placed = false;
};
