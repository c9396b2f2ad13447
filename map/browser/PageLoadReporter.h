#pragma once

#include <QObject>

// Reached by the injected script over the web channel: tells when the
// document has been parsed (DOMContentLoaded).
class PageLoadReporter : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void documentParsed() { emit parsed(); }

signals:
    void parsed();
};
