#include "ui/document/layer_editing.h"

#include <cstddef>
#include <iterator>

#include "engine/document.h"
#include "model/layer.h"
#include "ui/dialogs/layer_properties_dialog.h"
#include "ui/dialogs/where_dialog.h"

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

} // namespace

LayerEditResult layersNew(QWidget* parent, tervane::Document& document, const DialogRunner& runner)
{
    tervane::Layer layer;
    if (!askNewLayer(parent, document, runner, layer))
        return LayerEditResult::Unchanged;
    document.layers.push_back(layer);
    return LayerEditResult::Changed;
}

LayerEditResult layersInsert(QWidget* parent, tervane::Document& document, const DialogRunner& runner)
{
    CWhereDialog where(parent);
    if (runDialog(where, runner) != QDialog::Accepted)
        return LayerEditResult::Unchanged;
    const auto position = static_cast<std::size_t>(where.position); // never negative once accepted
    if (position >= document.layers.size())
        return LayerEditResult::Unchanged;

    tervane::Layer layer;
    if (!askNewLayer(parent, document, runner, layer))
        return LayerEditResult::Unchanged;
    document.layers.insert(document.layers.begin() + static_cast<std::ptrdiff_t>(position), layer);
    return LayerEditResult::Changed;
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
    if (result == CLayerPropertiesDialog::DeleteLayer) {
        document.layers.erase(std::next(document.layers.begin(), index));
        return LayerEditResult::Changed;
    }
    return LayerEditResult::Unchanged;
}
