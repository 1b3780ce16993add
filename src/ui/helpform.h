#pragma once

#include <QPixmap>
#include <QWidget>

#include <array>

class FlatButton;
class FlatPanel;
class QLabel;
class QTextBrowser;

// The help window: a side bar of section buttons and one page per section,
// stacked so that each keeps its scroll position. Shows the Overview first.
class Thelp : public QWidget
{
    Q_OBJECT

public:
    explicit Thelp(const QPixmap &background, QWidget *parent = nullptr);

    void showOver(const QWidget *window);
    // Shared by the section buttons: shows the page numbered like the button.
    void SelButton1Click(FlatButton *button);
    void button_doneClick();

signals:
    void aboutRequested();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QTextBrowser *makePage(int number, const QString &html);

    FlatPanel *panel_side = nullptr;
    FlatPanel *panel_main = nullptr;
    QLabel *label_caption = nullptr;
    std::array<QTextBrowser *, 6> m_pages{}; // memo1, memo3, memo4, memo5 by number
    bool m_placed = false;
};
