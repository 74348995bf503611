#include "ui/materials_editing.h"

#include <QDialog>

#include "engine/document.h"
#include "ui/material_properties_dialog.h"
#include "ui/message_sink.h"
#include "ui/substrate_properties_dialog.h"

bool setupMaterials(QWidget* parent, tervane::Document& doc, const ExecHook& exec)
{
    CMaterialPropertiesDialog dialog(parent);
    dialog.materials = doc.materials;
    dialog.execHook = exec;
    dialog.initialize();
    if (runDialog(dialog, exec) != QDialog::Accepted)
        return false;
    doc.materials = dialog.materials;
    return true;
}

bool chooseSubstrate(QWidget* parent, tervane::Document& doc, const ExecHook& exec)
{
    if (doc.materials.empty()) {
        MessageSink::current().showMessage(QStringLiteral("Load a materials file first"));
        return false;
    }
    CSubstratePropertiesDialog dialog(parent);
    CSubstratePropertiesDialog::fromDocument(doc, dialog);
    if (runDialog(dialog, exec) != QDialog::Accepted)
        return false;
    CSubstratePropertiesDialog::toDocument(dialog, doc);
    MessageSink::current().showMessage(QString::asprintf("a: %f Psp: %f", doc.substrateA, doc.substratePsp));
    return true;
}
