#pragma once

#include "ui/dialogs/settings_dialog.h"

class QWidget;

namespace tervane {
class Document;
}

// The three commands that edit the layer stack: Layers > New, Layers > Insert and the layer list's
// double-click. Each opens its dialogs over `parent`, applies what the user confirmed to
// `document.layers` (at most one change of the stack per call) and says whether anything changed.
// They never solve: the caller solves once when the result is Changed.
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

// "Where?" first; on OK with a position inside the stack (0 to n-1), "Layer Properties" with the
// new-layer values, and on OK the layer goes in front of the layer at that position. Cancel in either
// dialog, an empty stack or a position at or beyond the end change nothing and say nothing.
LayerEditResult layersInsert(QWidget* parent, tervane::Document& document, const DialogRunner& runner = {});

// "Layer Properties" on layer `index` with Delete shown. OK writes the values back in place (the
// layer keeps its `spare`); Delete removes the layer; Cancel changes nothing. An index outside the
// stack does nothing.
LayerEditResult editLayer(QWidget* parent, tervane::Document& document, int index,
                          const DialogRunner& runner = {});
