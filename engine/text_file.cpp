#include "engine/text_file.h"

#include <cstdarg>

namespace tervane {

TextFile::TextFile(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {}

TextFile::~TextFile()
{
    if (file_)
        std::fclose(file_);
}

void TextFile::print(const char* format, ...)
{
    std::va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file_, format, arguments);
    va_end(arguments);
}

bool TextFile::close()
{
    if (!file_)
        return false;
    const bool failed = std::ferror(file_) != 0;
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed && !failed;
}

} // namespace tervane
