#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tervane {

// Outcome of a file operation: success, or the message the user is shown. A success may carry notes,
// one sentence each, on what was read around (a document's skipped settings): shown, but not an error.
struct [[nodiscard]] IoResult {
    bool ok = true;
    std::string message;
    std::vector<std::string> notes;

    static IoResult success() { return {}; }
    static IoResult failure(std::string text) { return {false, std::move(text), {}}; }
    explicit operator bool() const { return ok; }
};

// Message texts shared by the readers and writers.
inline constexpr const char* textCouldNotOpenFile = "Could not open file";
inline constexpr const char* textWrongVersion = "wrong version file!";

} // namespace tervane
