#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

// Answers every message box the program opens while it lives, and
// remembers what each one showed. The answer is a button of the box, or
// Escape, or Return for the default button.
class MessageBoxes : public QObject
{
public:
    enum class Answer { Accept, Yes, No, Escape, Default };

    struct Shown {
        QString title;
        QMessageBox::Icon icon;
        QString text;
    };
    QList<Shown> shown;

    explicit MessageBoxes(Answer answer = Answer::Accept)
    {
        m_timer.setInterval(5);
        connect(&m_timer, &QTimer::timeout, this, [this, answer] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box)
                return;
            shown.append(Shown{box->windowTitle(), box->icon(), box->text()});
            switch (answer) {
            case Answer::Accept:
                box->accept();
                break;
            case Answer::Yes:
                box->button(QMessageBox::Yes)->click();
                break;
            case Answer::No:
                box->button(QMessageBox::No)->click();
                break;
            case Answer::Escape:
                QTest::keyClick(box, Qt::Key_Escape);
                break;
            case Answer::Default:
                QTest::keyClick(box, Qt::Key_Return);
                break;
            }
        });
        m_timer.start();
    }

    QStringList texts() const
    {
        QStringList result;
        for (const Shown &box : shown)
            result << box.text;
        return result;
    }

private:
    QTimer m_timer;
};
