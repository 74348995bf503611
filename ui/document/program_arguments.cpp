#include "ui/document/program_arguments.h"

#include <QRegularExpression>
#include <QTextStream>
#include <cstring>

#include "io/document_file.h"
#include "ui/document/message_sink.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/figure.h"

namespace {

// Messages of a run without a window: lines on a stream, no questions asked.
class StreamMessageSink : public MessageSink {
  public:
    explicit StreamMessageSink(QTextStream& stream) : stream_(stream) {}
    void showMessage(const QString& text) override { stream_ << text.trimmed() << Qt::endl; }
    SaveChoice askSaveChanges(const QString&) override { return SaveChoice::Discard; }

  private:
    QTextStream& stream_;
};

bool readNumber(const QString& text, double& value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

} // namespace

ProgramArguments parseProgramArguments(const QStringList& arguments)
{
    ProgramArguments parsed;
    QStringList documents;
    auto refuse = [&parsed](const QString& why) {
        if (parsed.error.isEmpty())
            parsed.error = why;
    };
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        auto value = [&]() -> QString {
            if (i + 1 >= arguments.size()) {
                refuse(QStringLiteral("%1 needs a value").arg(argument));
                return QString();
            }
            return arguments[++i];
        };
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            parsed.mode = ProgramArguments::Mode::Help;
        } else if (argument == QLatin1String("--version")) {
            if (parsed.mode != ProgramArguments::Mode::Help)
                parsed.mode = ProgramArguments::Mode::Version;
        } else if (argument == QLatin1String("--export-figure")) {
            if (parsed.mode == ProgramArguments::Mode::Window)
                parsed.mode = ProgramArguments::Mode::ExportFigure;
            parsed.output = value();
        } else if (argument == QLatin1String("--schroedinger")) {
            parsed.schroedinger = true;
        } else if (argument == QLatin1String("--depth-range")) {
            const QString range = value();
            const QStringList ends = range.split(QLatin1Char(':'));
            if (ends.size() != 2 || !readNumber(ends[0], parsed.from) || !readNumber(ends[1], parsed.to) ||
                parsed.from < 0 || parsed.to <= parsed.from)
                refuse(
                    QStringLiteral("--depth-range takes A:B in nm with 0 <= A < B, not \"%1\"").arg(range));
            parsed.hasDepthRange = true;
        } else if (argument == QLatin1String("--size")) {
            const QString size = value();
            const QRegularExpressionMatch match =
                QRegularExpression(QStringLiteral("^([0-9]{1,5})x([0-9]{1,5})$")).match(size);
            if (!match.hasMatch() || match.captured(1).toInt() < 100 || match.captured(2).toInt() < 100)
                refuse(QStringLiteral("--size takes WxH in pixels, each at least 100, not \"%1\"").arg(size));
            else
                parsed.size = QSize(match.captured(1).toInt(), match.captured(2).toInt());
        } else if (argument == QLatin1String("--dpi")) {
            const QString dpi = value();
            bool ok = false;
            parsed.dpi = dpi.toInt(&ok);
            if (!ok || parsed.dpi < 24 || parsed.dpi > 2400)
                refuse(QStringLiteral("--dpi takes a whole number from 24 to 2400, not \"%1\"").arg(dpi));
        } else if (argument.startsWith(QLatin1String("--"))) {
            refuse(QStringLiteral("unknown option %1").arg(argument));
        } else {
            documents << argument;
        }
    }
    if (documents.size() > 1)
        refuse(QStringLiteral("one document at a time, not %1").arg(documents.size()));
    parsed.document = documents.value(0);
    if (parsed.mode == ProgramArguments::Mode::ExportFigure && parsed.document.isEmpty())
        refuse(QStringLiteral("--export-figure needs a document to draw"));
    if (parsed.mode == ProgramArguments::Mode::Window &&
        (parsed.schroedinger || parsed.hasDepthRange || parsed.size != QSize(1000, 700) || parsed.dpi != 96))
        refuse(QStringLiteral("--depth-range, --schroedinger, --size and --dpi go with --export-figure"));
    return parsed;
}

QString programUsage()
{
    return QStringLiteral(
        "Usage:\n"
        "  tervane [DOCUMENT]             open the window, with DOCUMENT when one is named\n"
        "  tervane --export-figure OUT [--depth-range A:B] [--schroedinger] [--size WxH] [--dpi N] "
        "DOCUMENT\n"
        "                                 solve DOCUMENT and write its band diagram over its densities\n"
        "                                 to OUT (.png, .svg or .pdf) without a window\n"
        "  tervane --help                 print this text\n"
        "  tervane --version              print the program's version\n"
        "\n"
        "  --depth-range A:B   show the depths from A to B nm (default: the whole structure)\n"
        "  --schroedinger      turn the Schroedinger correction on before solving\n"
        "  --size WxH          the figure's size in pixels (default 1000x700)\n"
        "  --dpi N             the resolution of a PNG figure (default 96)\n");
}

bool runsWithoutWindow(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        for (const char* option : {"--help", "-h", "--version", "--export-figure"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
    return false;
}

int exportFigureCommand(const ProgramArguments& arguments, CTervaneDoc& doc, QTextStream& errors)
{
    StreamMessageSink messages(errors);
    MessageSink* previous = MessageSink::install(&messages);
    struct Restore {
        MessageSink* sink;
        ~Restore() { MessageSink::install(sink); }
    } restore{previous};

    const tervane::IoResult read = tervane::loadDocumentFile(arguments.document.toStdString(), doc.core);
    if (!read) {
        errors << QString::fromStdString(read.message).trimmed() << Qt::endl;
        return 1;
    }
    if (arguments.schroedinger)
        doc.core.schroedingerOn = true;
    if (!doc.solve())
        return 1;
    if (arguments.hasDepthRange)
        doc.showDepths(arguments.from * 1e-9, arguments.to * 1e-9);
    FigureOptions options;
    options.size = arguments.size;
    options.dpi = arguments.dpi;
    const QString failure = writeFigure(arguments.output, doc, options);
    if (!failure.isEmpty()) {
        errors << failure << Qt::endl;
        return 1;
    }
    return 0;
}

QString programVersion()
{
    return QStringLiteral("tervane " TERVANE_VERSION "\n");
}
