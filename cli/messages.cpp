#include "cli/messages.h"

namespace tervane::cli {

void printMessage(std::ostream& stream, std::string_view text)
{
    stream << text;
    if (text.empty() || text.back() != '\n')
        stream << '\n';
    stream.flush();
}

void printFileError(std::ostream& stream, const std::string& path, const IoResult& result)
{
    if (result.message.find(path) != std::string::npos)
        printMessage(stream, result.message);
    else
        printMessage(stream, path + ": " + result.message);
}

void StreamObserver::message(const std::string& text)
{
    printMessage(stream_, text);
}

} // namespace tervane::cli
