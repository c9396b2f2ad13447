#pragma once

#include <QDialog>

// A read-only summary of the machine, the toolkit and the position database.
class SystemPropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit SystemPropertiesDialog(QWidget* parent = nullptr);
};
