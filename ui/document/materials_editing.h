#pragma once

#include "ui/dialogs/settings_dialog.h"

class QWidget;

namespace tervane {
class Document;
}

// The two commands that edit the materials side of a document, as free functions on the core document
// so that the GUI document wires each with one line and tests drive them without a main window.
//
// Every modal dialog they open (and every dialog those open in turn: "Material Name", "Enter
// Quadratic", "Polarization Properties") runs through the DialogRunner given. Left empty it is
// QDialog::exec(); a test passes a runner that fills the dialog's controls or presses its buttons and
// returns the result code, QDialog::Accepted or QDialog::Rejected, without blocking.
//
// How CTervaneDoc calls them:
//
//   void CTervaneDoc::setupMaterials()                  // Materials > Setup Materials...
//   {
//       if (!::setupMaterials(dialogParent(), core))
//           return;                                     // Cancel: nothing changed, no solve
//       setMaterialsModified(true);
//       solve();                                        // OK solves even when nothing was changed
//   }
//
//   void CTervaneDoc::chooseSubstrate()                 // Setup > Substrate...
//   {
//       if (::chooseSubstrate(dialogParent(), core))    // the "a: ... Psp: ..." message is shown inside
//           solve();
//   }

// The materials editor on a copy of `doc.materials`. True when it was left with OK: `doc.materials`
// has then been replaced by the editor's list, in the editor's order. False on Cancel, with
// `doc.materials` exactly as it was.
bool setupMaterials(QWidget* parent, tervane::Document& doc, const DialogRunner& runner = {});

// The substrate choice. With no materials, shows "Load a materials file first" and returns false.
// Otherwise opens "Substrate Properties" on a copy of the materials and the document's substrate
// values; on OK the document takes the substrate name, composition, lattice constant and spontaneous
// polarization, "a: %f Psp: %f" is shown with the last two, and true is returned. False on Cancel,
// with the document unchanged.
bool chooseSubstrate(QWidget* parent, tervane::Document& doc, const DialogRunner& runner = {});
