#pragma once

#include <QString>
#include <QVariant>

class QWebEnginePage;

// Evaluates an expression in the page's main world and waits for its value;
// fails the running test when the page gives no answer.
QVariant evaluateInPage(QWebEnginePage* page, const QString& expression);

// How many elements of the page match the CSS selector.
int countInPage(QWebEnginePage* page, const QString& selector);
