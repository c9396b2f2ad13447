#pragma once

#include <QTabWidget>

// A tab control that draws its own tabs: a border on all four sides and the
// caption centred in Arial 11 px; unselected tabs dark with light text, the
// selected tab in the button colours. The Tab key does not visit the tabs.
class OwnerDrawnTabWidget : public QTabWidget {
    Q_OBJECT
public:
    explicit OwnerDrawnTabWidget(QWidget* parent = nullptr);
};
