#pragma once

#include <string>
#include <utility>

namespace tervane {

// Outcome of a file operation: success, or the message the user is shown.
struct [[nodiscard]] IoResult {
    bool ok = true;
    std::string message;

    static IoResult success() { return {}; }
    static IoResult failure(std::string text) { return {false, std::move(text)}; }
    explicit operator bool() const { return ok; }
};

// Message texts shared by the readers and writers.
inline constexpr const char* textCouldNotOpenFile = "Could not open file";
inline constexpr const char* textWrongVersion = "wrong version file!";

} // namespace tervane
