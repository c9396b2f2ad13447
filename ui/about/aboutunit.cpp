#include "ui/about/aboutunit.h"

#include "app/ApplicationTitle.h"
#include "ui/about/SystemPropertiesDialog.h"
#include "ui/widgets/Fonts.h"
#include "ui/widgets/UiArtwork.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

namespace {

QLabel* fittedLabel(const QString& text, const QFont& font, QPoint at, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->move(at);
    label->adjustSize();
    return label;
}

QPushButton* button(const QString& text, const QRect& geometry, QWidget* parent) {
    auto* pushButton = new QPushButton(text, parent);
    pushButton->setGeometry(geometry);
    pushButton->setDefault(false);
    return pushButton;
}

} // namespace

Tformabout::Tformabout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("formabout"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("About"));
    setFont(calibriFont(11));
    setFixedSize(480, 272);

    JvPanel1 = new QFrame(this);
    JvPanel1->setObjectName(QStringLiteral("JvPanel1"));
    JvPanel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    JvPanel1->setLineWidth(1);
    JvPanel1->setGeometry(8, 8, 465, 257);

    // The banner keeps its own size in the top-left corner of its area.
    Image1 = new QLabel(JvPanel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(15, 20, 425, 105);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(aboutBanner(devicePixelRatioF()));

    Label2 = fittedLabel(applicationTitle(), calibriFont(21, true), {32, 144}, JvPanel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label3 = fittedLabel(QStringLiteral("Release 4.3"), calibriFont(19), {34, 176}, JvPanel1);
    Label3->setObjectName(QStringLiteral("Label3"));

    // Created after the banner so they lie over it; labels have no background of their own.
    Label1 = fittedLabel(QStringLiteral("All rights reserved 2011-2026"), calibriFont(11),
                         {266, 96}, JvPanel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label4 = fittedLabel(QStringLiteral("Tavirel Field Software"), calibriFont(11), {266, 112},
                         JvPanel1);
    Label4->setObjectName(QStringLiteral("Label4"));

    Button1 = button(QStringLiteral("OK"), {350, 216, 75, 25}, JvPanel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button3 = button(QStringLiteral("System Properties"), {32, 216, 113, 25}, JvPanel1);
    Button3->setObjectName(QStringLiteral("Button3"));
    setTabOrder(Button1, Button3);
    Button1->setFocus();

    connect(Button1, &QPushButton::clicked, this, &Tformabout::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &Tformabout::Button3Click);

    // The client area is centred on the screen, not on the window that opened it.
    QRect client = rect();
    client.moveCenter(screen()->availableGeometry().center());
    setGeometry(client);
}

void Tformabout::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void Tformabout::Button1Click() {
    close();
}

void Tformabout::Button3Click() {
    if (!systemProperties) {
        systemProperties = new SystemPropertiesDialog(this);
        systemProperties->setAttribute(Qt::WA_DeleteOnClose);
    }
    systemProperties->show();
    systemProperties->raise();
    systemProperties->activateWindow();
}
