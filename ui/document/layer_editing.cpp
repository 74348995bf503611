#include "ui/document/layer_editing.h"

#include <QString>
#include <cstddef>
#include <iterator>

#include "engine/document.h"
#include "model/layer.h"
#include "ui/dialogs/layer_properties_dialog.h"
#include "ui/dialogs/where_dialog.h"
#include "ui/document/message_sink.h"

namespace {

// Runs "Layer Properties" on the values already in `dialog`; the law buttons' dialogs go through the
// same runner.
int runLayerDialog(CLayerPropertiesDialog& dialog, const tervane::Document& document,
                   const DialogRunner& runner)
{
    CLayerPropertiesDialog::setMaterials(document, dialog);
    dialog.dialogRunner = runner;
    return runDialog(dialog, runner);
}

// A confirmed new layer, or false when the dialog was not confirmed. `spare` stays 0, as the import
// script gives it.
bool askNewLayer(QWidget* parent, const tervane::Document& document, const DialogRunner& runner,
                 tervane::Layer& layer)
{
    CLayerPropertiesDialog dialog(parent);
    CLayerPropertiesDialog::newLayer(document, dialog);
    if (runLayerDialog(dialog, document, runner) != QDialog::Accepted)
        return false;
    CLayerPropertiesDialog::toLayer(dialog, layer);
    return true;
}

// Where a position entered in "Where?" lies beyond the last layer.
QString beyondTheEnd(int position, std::size_t count)
{
    if (count == 0)
        return QStringLiteral("There is no position %1: the structure has no layers yet, so a new layer "
                              "goes in at position 0.")
            .arg(position);
    const QString layers = count == 1 ? QStringLiteral("1 layer") : QStringLiteral("%1 layers").arg(count);
    return QStringLiteral("There is no position %1: the structure has %2, so a new layer goes in at a "
                          "position from 0 (first) to %3 (after the last).")
        .arg(position)
        .arg(layers)
        .arg(count);
}

} // namespace

LayerEditResult layersNew(QWidget* parent, tervane::Document& document, const DialogRunner& runner)
{
    tervane::Layer layer;
    if (!askNewLayer(parent, document, runner, layer))
        return LayerEditResult::Unchanged;
    document.layers.push_back(layer);
    return LayerEditResult::Changed;
}

LayerEditResult insertLayerAt(QWidget* parent, tervane::Document& document, int position,
                              const DialogRunner& runner)
{
    if (position < 0 || static_cast<std::size_t>(position) > document.layers.size())
        return LayerEditResult::Unchanged;
    tervane::Layer layer;
    if (!askNewLayer(parent, document, runner, layer))
        return LayerEditResult::Unchanged;
    document.layers.insert(std::next(document.layers.begin(), position), layer);
    return LayerEditResult::Changed;
}

LayerEditResult layersInsert(QWidget* parent, tervane::Document& document, const DialogRunner& runner)
{
    CWhereDialog where(parent);
    if (runDialog(where, runner) != QDialog::Accepted)
        return LayerEditResult::Unchanged;
    const std::size_t count = document.layers.size();
    if (static_cast<std::size_t>(where.position) > count) { // never negative once accepted
        MessageSink::current().showMessage(beyondTheEnd(where.position, count));
        return LayerEditResult::Unchanged;
    }
    return insertLayerAt(parent, document, where.position, runner);
}

bool deleteLayer(tervane::Document& document, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= document.layers.size())
        return false;
    document.layers.erase(std::next(document.layers.begin(), index));
    return true;
}

LayerEditResult editLayer(QWidget* parent, tervane::Document& document, int index, const DialogRunner& runner)
{
    if (index < 0 || static_cast<std::size_t>(index) >= document.layers.size())
        return LayerEditResult::Unchanged;

    CLayerPropertiesDialog dialog(parent);
    CLayerPropertiesDialog::fromLayer(document.layers[static_cast<std::size_t>(index)], dialog);
    const int result = runLayerDialog(dialog, document, runner);
    // The dialog may have run a nested event loop; the element is looked up again only now.
    if (result == QDialog::Accepted) {
        CLayerPropertiesDialog::toLayer(dialog, document.layers[static_cast<std::size_t>(index)]);
        return LayerEditResult::Changed;
    }
    if (result == CLayerPropertiesDialog::DeleteLayer && deleteLayer(document, index))
        return LayerEditResult::Changed;
    return LayerEditResult::Unchanged;
}
