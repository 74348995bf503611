#include "ui/document/document_edit.h"

#include <utility>

#include "io/document_file.h"

namespace {

std::string fileBytes(const tervane::Document& document, bool withChargeView = true)
{
    tervane::DocumentSettings settings = tervane::documentSettings(document);
    if (!withChargeView)
        settings.chargeView = tervane::ChargeViewSettings();
    return tervane::encodeDocument(document.layers, document.grid.leftContact, document.grid.leftBarrier,
                                   settings);
}

} // namespace

DocumentState captureState(const tervane::Document& document)
{
    return {fileBytes(document), document.materials};
}

void restoreState(tervane::Document& document, const DocumentState& state)
{
    // The bytes are the encoder's own: reading them back cannot fail.
    static_cast<void>(tervane::readDocument(state.bytes, document));
    document.materials = state.materials;
}

DocumentState solutionKey(const tervane::Document& document)
{
    return {fileBytes(document, false), document.materials};
}

DocumentEditCommand::DocumentEditCommand(const QString& text, DocumentState before, DocumentState after,
                                         bool solve, Apply apply)
    : QUndoCommand(text), before_(std::move(before)), after_(std::move(after)), solve_(solve),
      apply_(std::move(apply))
{
}

void DocumentEditCommand::redo()
{
    if (done_) {
        done_ = false;
        return;
    }
    apply_(after_, solve_);
}
