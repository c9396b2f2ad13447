#include "ui/about/SystemPropertiesDialog.h"

#include "app/AppPaths.h"
#include "ui/about/SystemFacts.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

SystemPropertiesDialog::SystemPropertiesDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("SystemPropertiesDialog"));
    setWindowTitle(QStringLiteral("System Properties"));

    auto* facts = new QFormLayout;
    facts->setLabelAlignment(Qt::AlignLeft);
    facts->setHorizontalSpacing(16);
    facts->setVerticalSpacing(6);
    for (const SystemFact& fact :
         systemFacts(takeSystemSnapshot(QLatin1String(databaseFileName)))) {
        auto* name = new QLabel(fact.name + QLatin1Char(':'));
        QFont bold = name->font();
        bold.setBold(true);
        name->setFont(bold);
        auto* value = new QLabel(fact.value);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setWordWrap(true);
        value->setMinimumWidth(280);
        facts->addRow(name, value);
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->setSpacing(14);
    layout->addLayout(facts);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
