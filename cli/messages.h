#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "io/io_result.h"
#include "model/observer.h"

namespace tervane::cli {

// Writes `text` as one or more whole lines: a line break is added unless the text already ends with
// one, so messages that carry their own "\n" do not leave blank lines.
void printMessage(std::ostream& stream, std::string_view text);

// Writes the message of a failed file operation, naming the file unless the message already does.
void printFileError(std::ostream& stream, const std::string& path, const IoResult& result);

// Writes each note of a file operation that succeeded (what a document's settings block skipped) as a
// line naming the file; the work goes on.
void printNotes(std::ostream& stream, const std::string& path, const IoResult& result);

// Turns the core's messages into lines on a stream (standard error for the tool) as they are met.
class StreamObserver : public Observer {
  public:
    explicit StreamObserver(std::ostream& stream) : stream_(stream) {}
    void message(const std::string& text) override;

  private:
    std::ostream& stream_;
};

// A StreamObserver that also keeps every message, for a report written after the work.
class RecordingObserver : public StreamObserver {
  public:
    using StreamObserver::StreamObserver;
    void message(const std::string& text) override;

    // The messages in the order they were met, each with its exact text.
    const std::vector<std::string>& messages() const { return messages_; }

  private:
    std::vector<std::string> messages_;
};

// The line that follows "Material not found!" to say which layer named which material.
std::string missingMaterialText(int layerIndex, const std::string& material,
                                const std::string& materialsPath);

} // namespace tervane::cli
