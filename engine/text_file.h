#pragma once

#include <cstdio>
#include <string>

namespace tervane {

// A text file open for writing (replacing what was there), closed when it goes out of scope. The
// exports, the C-V profile and the eigenstate files write through it.
class TextFile {
  public:
    explicit TextFile(const std::string& path);
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    // False when the file could not be opened.
    [[nodiscard]] explicit operator bool() const { return file_ != nullptr; }
    [[nodiscard]] std::FILE* get() const { return file_; }

    // printf into the file.
    void print(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // Closes the file now; false when a write or the close failed.
    [[nodiscard]] bool close();

  private:
    std::FILE* file_;
};

} // namespace tervane
