#include "app/Messages.h"

#include "app/ApplicationTitle.h"

#include <QApplication>
#include <QMessageBox>

QString errorReportText(const QString& message) {
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

static void showBox(QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, applicationTitle(), text, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(icon == QMessageBox::Critical ? QStringLiteral("ErrorReport")
                                                    : QStringLiteral("PlainMessage"));
    box.exec();
}

void showErrorReport(const QString& message) {
    showBox(QMessageBox::Critical, errorReportText(message));
}

void showPlainMessage(const QString& text) {
    showBox(QMessageBox::NoIcon, text);
}
