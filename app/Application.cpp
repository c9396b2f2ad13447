#include "app/Application.h"

#include "app/ApplicationTitle.h"
#include "app/Error.h"
#include "app/Messages.h"

Application::Application(int& argc, char** argv)
    : QApplication(argc, argv) {
    setApplicationName(applicationTitle());
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        reportCurrentException();
        return false;
    }
}

void Application::reportCurrentException() {
    try {
        throw;
    } catch (const Error& error) {
        showErrorReport(error.message());
    } catch (const std::exception& error) {
        showErrorReport(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        showErrorReport(QStringLiteral("Unknown error"));
    }
}
