#include "cli/messages.h"

#include "cli/text_format.h"
#include "model/material.h"

namespace tervane::cli {

void printMessage(std::ostream& stream, std::string_view text)
{
    stream << text;
    if (text.empty() || text.back() != '\n')
        stream << '\n';
    stream.flush();
}

void printNotes(std::ostream& stream, const std::string& path, const IoResult& result)
{
    for (const std::string& note : result.notes)
        printMessage(stream, path + ": " + note);
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

void RecordingObserver::message(const std::string& text)
{
    messages_.push_back(text);
    StreamObserver::message(text);
}

std::string missingMaterialText(int layerIndex, const std::string& material, const std::string& materialsPath)
{
    return formatText("Layer %.3d names the material \"%s\", which %s does not hold.", layerIndex,
                      printableName(material).c_str(), materialsPath.c_str());
}

} // namespace tervane::cli
