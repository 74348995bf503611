#include "ui/document/materials_editing.h"

#include <QDialog>

#include "engine/document.h"
#include "ui/dialogs/material_properties_dialog.h"
#include "ui/dialogs/substrate_properties_dialog.h"
#include "ui/document/message_sink.h"

bool setupMaterials(QWidget* parent, tervane::Document& doc, const DialogRunner& runner)
{
    CMaterialPropertiesDialog dialog(parent);
    dialog.materials = doc.materials;
    dialog.dialogRunner = runner;
    dialog.initialize();
    if (runDialog(dialog, runner) != QDialog::Accepted)
        return false;
    doc.materials = dialog.materials;
    return true;
}

bool chooseSubstrate(QWidget* parent, tervane::Document& doc, const DialogRunner& runner)
{
    if (doc.materials.empty()) {
        MessageSink::current().showMessage(QStringLiteral("Load a materials file first"));
        return false;
    }
    if (!editSettings<CSubstratePropertiesDialog>(parent, doc, runner))
        return false;
    MessageSink::current().showMessage(QString::asprintf("a: %f Psp: %f", doc.substrateA, doc.substratePsp));
    return true;
}
