#include "ui/alerts/AreasDialog.h"

#include "app/Error.h"
#include "app/Messages.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Column { NameColumn, KindColumn, RadiosColumn, RuleColumn, ShownColumn, ColumnCount };

const QStringList kRuleTexts{QStringLiteral("on enter"), QStringLiteral("on leave"),
                             QStringLiteral("on both")};

} // namespace

AreasDialog::AreasDialog(std::vector<Area> areas, QList<Project> projects, QWidget* parent)
    : QDialog(parent)
    , areas_(std::move(areas))
    , projects_(std::move(projects))
    , table_(new QTableWidget(this)) {
    setWindowTitle(QStringLiteral("Areas"));
    resize(720, 360);
    table_->setObjectName(QStringLiteral("AreaTable"));
    table_->setColumnCount(ColumnCount);
    table_->setHorizontalHeaderLabels({QStringLiteral("Name"), QStringLiteral("Kind"),
                                       QStringLiteral("Radios"), QStringLiteral("Alert"),
                                       QStringLiteral("Shown")});
    table_->horizontalHeader()->setSectionResizeMode(NameColumn, QHeaderView::Stretch);
    table_->verticalHeader()->hide();
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* keep = new QPushButton(QStringLiteral("Keep Drawn Polygon…"), this);
    keep->setObjectName(QStringLiteral("KeepDrawnPolygon"));
    auto* circle = new QPushButton(QStringLiteral("Add Circle…"), this);
    circle->setObjectName(QStringLiteral("AddCircle"));
    auto* remove = new QPushButton(QStringLiteral("Delete"), this);
    remove->setObjectName(QStringLiteral("DeleteArea"));
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(keep);
    buttons->addWidget(circle);
    buttons->addWidget(remove);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addLayout(buttons);

    connect(keep, &QPushButton::clicked, this, &AreasDialog::askForPolygon);
    connect(circle, &QPushButton::clicked, this, &AreasDialog::askForCircle);
    connect(remove, &QPushButton::clicked, this, [this] {
        if (table_->currentRow() >= 0)
            deleteArea(table_->currentRow());
    });
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::cellChanged, this, &AreasDialog::cellChanged);
    showAreas();
}

void AreasDialog::setDrawnPolygon(std::function<std::optional<QList<GeoPoint>>()> drawnPolygon) {
    drawnPolygon_ = std::move(drawnPolygon);
}

void AreasDialog::keepPolygon(const QString& name, const QList<GeoPoint>& outline) {
    areas_.push_back(Area::polygon(name, {outline}));
    changed();
}

void AreasDialog::addCircle(const QString& name, GeoPoint centre, double radiusMetres) {
    areas_.push_back(Area::circle(name, centre, radiusMetres));
    changed();
}

void AreasDialog::deleteArea(int row) {
    areas_.erase(areas_.begin() + row);
    changed();
}

void AreasDialog::setRadiosOf(int row, const AreaRadios& radios) {
    areas_[row].setRadios(radios);
    changed();
}

void AreasDialog::setRuleOf(int row, AreaRule rule) {
    areas_[row].setRule(rule);
    changed();
}

void AreasDialog::changed() {
    showAreas();
    emit areasChanged(areas_);
}

void AreasDialog::showAreas() {
    const QSignalBlocker blocker(table_);
    table_->setRowCount(0);
    table_->setRowCount(int(areas_.size()));
    for (int row = 0; row < int(areas_.size()); ++row)
        addRow(row);
}

void AreasDialog::addRow(int row) {
    const Area& area = areas_[row];
    // Items show their text as it is: a name with markup stays text.
    table_->setItem(row, NameColumn, new QTableWidgetItem(area.name()));
    auto* kind = new QTableWidgetItem(area.kind() == Area::Kind::Circle
                                          ? QStringLiteral("circle, %1 m").arg(area.radiusMetres())
                                          : QStringLiteral("polygon"));
    kind->setFlags(kind->flags() & ~Qt::ItemIsEditable);
    table_->setItem(row, KindColumn, kind);
    auto* shown = new QTableWidgetItem;
    shown->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    shown->setCheckState(area.isShown() ? Qt::Checked : Qt::Unchecked);
    table_->setItem(row, ShownColumn, shown);

    auto* radios = new QComboBox(table_);
    radios->addItem(QStringLiteral("All radios"));
    for (const Project& project : projects_)
        radios->addItem(QStringLiteral("Project ") + project.name);
    radios->addItem(area.radios().kind == AreaRadios::Kind::Members
                        ? radiosText(area.radios())
                        : QStringLiteral("Chosen radios…"));
    switch (area.radios().kind) {
    case AreaRadios::Kind::All:
        radios->setCurrentIndex(0);
        break;
    case AreaRadios::Kind::Project:
        for (int p = 0; p < projects_.size(); ++p) {
            if (projects_[p].id == area.radios().project)
                radios->setCurrentIndex(p + 1);
        }
        break;
    case AreaRadios::Kind::Members:
        radios->setCurrentIndex(radios->count() - 1);
        break;
    }
    connect(radios, &QComboBox::activated, this,
            [this, row](int index) { radiosChosen(row, index); });
    table_->setCellWidget(row, RadiosColumn, radios);

    auto* rule = new QComboBox(table_);
    rule->addItems(kRuleTexts);
    rule->setCurrentIndex(int(area.rule()));
    connect(rule, &QComboBox::activated, this,
            [this, row](int index) { setRuleOf(row, AreaRule(index)); });
    table_->setCellWidget(row, RuleColumn, rule);
}

QString AreasDialog::radiosText(const AreaRadios& radios) const {
    QStringList ids;
    for (const qint32 radio : radios.members)
        ids << QString::number(radio);
    return QStringLiteral("Radios ") + ids.join(QStringLiteral(", "));
}

void AreasDialog::radiosChosen(int row, int index) {
    if (index == 0) {
        setRadiosOf(row, AreaRadios());
        return;
    }
    if (index <= projects_.size()) {
        setRadiosOf(row, {AreaRadios::Kind::Project, projects_[index - 1].id, {}});
        return;
    }
    QStringList current;
    for (const qint32 radio : areas_[row].radios().members)
        current << QString::number(radio);
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, QStringLiteral("Chosen Radios"), QStringLiteral("Radio ids, separated by commas:"),
        QLineEdit::Normal, current.join(QStringLiteral(", ")), &ok);
    AreaRadios chosen{AreaRadios::Kind::Members, 0, {}};
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        bool isNumber = false;
        const qint32 radio = part.trimmed().toInt(&isNumber);
        if (isNumber)
            chosen.members.append(radio);
    }
    if (!ok || chosen.members.isEmpty()) {
        showAreas(); // back to what it was
        return;
    }
    setRadiosOf(row, chosen);
}

void AreasDialog::cellChanged(int row, int column) {
    QTableWidgetItem* item = table_->item(row, column);
    if (column == NameColumn && !item->text().trimmed().isEmpty()) {
        areas_[row].setName(item->text());
    } else if (column == ShownColumn) {
        areas_[row].setShown(item->checkState() == Qt::Checked);
    } else {
        showAreas();
        return;
    }
    emit areasChanged(areas_);
}

void AreasDialog::askForPolygon() {
    const std::optional<QList<GeoPoint>> outline =
        drawnPolygon_ ? drawnPolygon_() : std::optional<QList<GeoPoint>>();
    if (!outline) {
        showPlainMessage(QStringLiteral("Draw a polygon on the map first (the polygon button of "
                                        "the toolbar), then keep it here."));
        return;
    }
    bool ok = false;
    const QString name = QInputDialog::getText(
        this, QStringLiteral("Keep Drawn Polygon"), QStringLiteral("Name:"), QLineEdit::Normal,
        QStringLiteral("Area %1").arg(areas_.size() + 1), &ok);
    if (!ok || name.trimmed().isEmpty())
        return;
    try {
        keepPolygon(name, *outline);
    } catch (const Error& error) {
        showPlainMessage(error.message());
    }
}

void AreasDialog::askForCircle() {
    QDialog form(this);
    form.setWindowTitle(QStringLiteral("Add Circle"));
    auto* name = new QLineEdit(QStringLiteral("Area %1").arg(areas_.size() + 1), &form);
    auto* lat = new QDoubleSpinBox(&form);
    auto* lng = new QDoubleSpinBox(&form);
    auto* radius = new QDoubleSpinBox(&form);
    lat->setRange(-90, 90);
    lng->setRange(-180, 180);
    for (QDoubleSpinBox* box : {lat, lng})
        box->setDecimals(6);
    radius->setRange(1, 1000000);
    radius->setValue(200);
    radius->setSuffix(QStringLiteral(" m"));
    if (circleCentre_) {
        lat->setValue(circleCentre_->lat);
        lng->setValue(circleCentre_->lng);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &form);
    auto* layout = new QFormLayout(&form);
    layout->addRow(QStringLiteral("Name:"), name);
    layout->addRow(QStringLiteral("Centre latitude:"), lat);
    layout->addRow(QStringLiteral("Centre longitude:"), lng);
    layout->addRow(QStringLiteral("Radius:"), radius);
    layout->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &form, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &form, &QDialog::reject);
    if (form.exec() != QDialog::Accepted || name->text().trimmed().isEmpty())
        return;
    addCircle(name->text(), {lat->value(), lng->value()}, radius->value());
}
