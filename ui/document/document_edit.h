#pragma once

#include <QUndoCommand>
#include <functional>
#include <string>
#include <vector>

#include "engine/document.h"
#include "model/material.h"

// What one step of the undo stack puts back: everything the user sets in a document (the structure
// and its settings, as the document file's bytes, and the materials), without the grid and the results
// of a solve.
struct DocumentState {
    std::string bytes;
    std::vector<tervane::Material> materials;

    bool operator==(const DocumentState& other) const = default;
};

// The state of `document` now.
DocumentState captureState(const tervane::Document& document);

// Puts `state` into `document`, keeping its grid and the results of its last solve.
void restoreState(tervane::Document& document, const DocumentState& state);

// What a solve depends on: the state without the charge view's settings, so that choosing a range or
// a scale does not make a solution out of date.
DocumentState solutionKey(const tervane::Document& document);

// One undoable change: the states before and after it, and whether putting either back needs a
// solve. The change itself has been made when the command is pushed; its first redo does nothing.
class DocumentEditCommand : public QUndoCommand {
  public:
    using Apply = std::function<void(const DocumentState&, bool solve)>;
    DocumentEditCommand(const QString& text, DocumentState before, DocumentState after, bool solve,
                        Apply apply);

    void undo() override { apply_(before_, solve_); }
    void redo() override;

  private:
    DocumentState before_;
    DocumentState after_;
    bool solve_;
    Apply apply_;
    bool done_ = true;
};
