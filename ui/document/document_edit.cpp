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
    DocumentState state;
    state.bytes = fileBytes(document);
    state.materials = document.materials;
    tervane::Document& inputs = state.inputs;
    inputs = document;
    inputs.grid = tervane::Grid();
    const tervane::Grid& grid = document.grid;
    inputs.grid.leftContact = grid.leftContact;
    inputs.grid.rightContact = grid.rightContact;
    inputs.grid.leftBarrier = grid.leftBarrier;
    inputs.grid.rightBarrier = grid.rightBarrier;
    inputs.subbands.clear();
    return state;
}

void restoreState(tervane::Document& document, const DocumentState& state)
{
    tervane::Document restored = state.inputs;
    tervane::adoptSolution(restored, std::move(document));
    document = std::move(restored);
}

SolutionKey solutionKey(const tervane::Document& document)
{
    SolutionKey key;
    key.bytes = fileBytes(document, false);
    key.materials = document.materials;
    return key;
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
