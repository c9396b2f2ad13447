#pragma once

#include <QApplication>

// The application object: a failure that a handler leaves uncaught ends that
// handler and is shown in the default error report; the program goes on.
class Application : public QApplication {
public:
    Application(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Shows the default error report for the exception being handled.
    static void reportCurrentException();
};
