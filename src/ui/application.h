#pragma once

#include <QApplication>

// The application object. An error that escapes an event handler after all
// ends that handler only: it is shown in the error box and the program goes on.
class Application : public QApplication
{
    Q_OBJECT

public:
    Application(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;
};
