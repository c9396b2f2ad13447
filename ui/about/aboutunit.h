#pragma once

#include <QDialog>
#include <QPointer>

class QFrame;
class QLabel;
class QPushButton;
class SystemPropertiesDialog;

// The about dialog: banner, name and release of the program, and a button that
// shows the system properties. Each opening creates a new dialog, which
// destroys itself once closed. Esc does not close it: there is no cancel button.
class Tformabout : public QDialog {
    Q_OBJECT
public:
    explicit Tformabout(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void Button1Click();
    void Button3Click();

private:
    QFrame* JvPanel1;
    QLabel* Image1;
    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QPushButton* Button1;
    QPushButton* Button3;
    QPointer<SystemPropertiesDialog> systemProperties;
};
