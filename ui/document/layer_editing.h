#pragma once

#include "ui/dialogs/settings_dialog.h"

class QWidget;

namespace tervane {
class Document;
}

// The commands that edit the layer stack through dialogs: Layers > New, Layers > Insert, Insert
// Before/After on the layer list's selection and the list's double-click. Each opens its dialogs over
// `parent`, applies what the user confirmed to `document.layers` (at most one change of the stack per call)
// and says whether anything changed. They never solve: the caller solves once when the result is Changed.
//
// From the document (qualified with ::, since the document's own members may carry the same names):
//     if (::layersNew(dialogParent(), core) == LayerEditResult::Changed)
//         solve();
//     if (::layersInsert(dialogParent(), core) == LayerEditResult::Changed)
//         solve();
//     if (::editLayer(dialogParent(), core, index) == LayerEditResult::Changed)
//         solve();
//
// `runner` runs every dialog of the command, the nested "Enter Quadratic" dialogs of the law
// buttons included; left empty, each dialog is exec()'d. Tests pass a runner that fills the controls
// of the dialog it is given and presses OK, Cancel or Delete.
enum class LayerEditResult { Unchanged, Changed };

// "Layer Properties" with the new-layer values (Tn and Tp at document.temperature); on OK the layer
// is appended after the last one. Cancel changes nothing.
LayerEditResult layersNew(QWidget* parent, tervane::Document& document, const DialogRunner& runner = {});

// "Layer Properties" with the new-layer values; on OK the layer goes in at `position`, in front of
// the layer there: 0 puts it first, n (the number of layers) after the last. Cancel, or a position
// outside 0 to n, changes nothing.
LayerEditResult insertLayerAt(QWidget* parent, tervane::Document& document, int position,
                              const DialogRunner& runner = {});

// "Where?" first, then insertLayerAt() at the position entered (0 to n, n after the last layer).
// A position beyond n is refused with a message that names the number of layers, and changes
// nothing; Cancel in either dialog changes nothing and says nothing.
LayerEditResult layersInsert(QWidget* parent, tervane::Document& document, const DialogRunner& runner = {});

// Removes layer `index`; false, and nothing changed, for an index outside the stack.
bool deleteLayer(tervane::Document& document, int index);

// "Layer Properties" on layer `index` with Delete shown. OK writes the values back in place (the
// layer keeps its `spare`); Delete removes the layer; Cancel changes nothing. An index outside the
// stack does nothing.
LayerEditResult editLayer(QWidget* parent, tervane::Document& document, int index,
                          const DialogRunner& runner = {});
