#include "ui/dialogs/material_lists.h"

#include <QComboBox>
#include <algorithm>
#include <numeric>

QStringList materialNames(const std::vector<tervane::Material>& materials)
{
    QStringList names;
    for (const tervane::Material& material : materials)
        names.append(QString::fromStdString(material.name));
    return names;
}

std::vector<int> sortedOrder(const QStringList& names)
{
    std::vector<int> order(static_cast<std::size_t>(names.size()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&names](int left, int right) {
        return QString::compare(names[left], names[right], Qt::CaseInsensitive) < 0;
    });
    return order;
}

void fillMaterialBox(QComboBox& box, const QStringList& names, const std::vector<int>& order)
{
    const QSignalBlocker blocker(&box);
    box.clear();
    for (int index : order)
        box.addItem(names[index], index);
}
