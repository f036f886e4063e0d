#pragma once

#include <QWidget>

#include "ui/control.h"
#include "ui/menu_item.h"

class QAction;

namespace orniva {

// Makes the widget that shows control c (nullptr for kinds without one) and
// binds it both ways: operator actions reach the model, model changes
// update the widget.
QWidget* MakeBoundWidget(Control& c, QWidget* parent);
// Binds a menu action to its item.
void BindMenuAction(MenuItem& item, QAction* action);
// Calls refresh now and whenever c changes, for as long as widget lives.
void Follow(Control& c, QObject* widget, std::function<void()> refresh);

}  // namespace orniva
