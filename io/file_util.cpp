#include "io/file_util.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace tervane {

namespace fs = std::filesystem;

IoResult readWholeFile(const std::string& path, std::string& bytes, std::size_t maxBytes)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (ec || !fs::exists(status))
        return IoResult::failure(textCouldNotOpenFile);
    if (fs::is_directory(status))
        return IoResult::failure(std::string(textCouldNotOpenFile) + ": " + path + " is a folder");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return IoResult::failure(textCouldNotOpenFile);
    std::string content;
    char buffer[65536];
    while (in) {
        in.read(buffer, sizeof buffer);
        const auto got = static_cast<std::size_t>(in.gcount());
        if (content.size() + got > maxBytes)
            return IoResult::failure("The file " + path + " is too large to be read");
        content.append(buffer, got);
    }
    if (in.bad())
        return IoResult::failure("Could not read the file " + path);
    bytes = std::move(content);
    return IoResult::success();
}

IoResult writeFileAtomically(const std::string& path, std::string_view bytes)
{
    std::error_code ec;
    if (fs::is_directory(path, ec))
        return IoResult::failure(std::string(textCouldNotOpenFile) + ": " + path + " is a folder");
    const fs::path target(path);
    std::random_device random;
    const fs::path temporary =
        target.parent_path() / (target.filename().string() + ".tmp" + std::to_string(random() % 1000000));
    {
        std::FILE* file = std::fopen(temporary.c_str(), "wb");
        if (!file)
            return IoResult::failure(textCouldNotOpenFile);
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        const bool flushed = std::fflush(file) == 0;
        const bool closed = std::fclose(file) == 0;
        if (!written || !flushed || !closed) {
            fs::remove(temporary, ec);
            return IoResult::failure("Could not write the file " + path + "; the previous file is unchanged");
        }
    }
    fs::rename(temporary, target, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return IoResult::failure("Could not write the file " + path + "; the previous file is unchanged");
    }
    return IoResult::success();
}

} // namespace tervane
