#pragma once

#include <QStringList>
#include <vector>

#include "model/material.h"

class QComboBox;

// The materials' drop-down lists of the dialogs. They are sorted as a sorted list box sorts: letter
// case ignored, equal names in the order they came.

// The names of `materials`, in list order.
QStringList materialNames(const std::vector<tervane::Material>& materials);

// Indices into `names` in the lists' sorted order.
std::vector<int> sortedOrder(const QStringList& names);

// Refills `box` with names[i] for each i of `order`, each entry holding its i as data. The box sends
// no signals meanwhile.
void fillMaterialBox(QComboBox& box, const QStringList& names, const std::vector<int>& order);
