#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

class CTervaneDoc;
class QTextStream;

// What the desktop program was asked to do on its command line:
//   tervane [DOCUMENT]                                   the window, with DOCUMENT open
//   tervane --export-figure OUT [--depth-range A:B] [--schroedinger] [--size WxH] [--dpi N] DOCUMENT
//                                                        the figure of DOCUMENT written, no window
//   tervane --help                                       the usage on standard output
//   tervane --version                                    the version on standard output
struct ProgramArguments {
    enum class Mode { Window, Help, Version, ExportFigure };
    Mode mode = Mode::Window;
    QString document;
    QString output;
    bool schroedinger = false;
    bool hasDepthRange = false;
    double from = 0.0; // nm
    double to = 0.0;   // nm
    QSize size{1000, 700};
    int dpi = 96;
    QString error; // why the arguments were refused; empty when they were not
};

// The arguments after the program's name.
[[nodiscard]] ProgramArguments parseProgramArguments(const QStringList& arguments);

// "tervane 0.1.0": the answer to --version.
QString programVersion();

// The usage text of --help.
[[nodiscard]] QString programUsage();

// Whether the arguments ask for no window (help or a figure), so that the program can choose the
// offscreen platform before it starts; `argv` as main() has it.
[[nodiscard]] bool runsWithoutWindow(int argc, char** argv);

// The figure of --export-figure: reads the document into `doc` (its materials already loaded), turns
// on the Schroedinger switch when asked, solves, shows the depth range asked for and writes OUT.
// Messages go to `errors`; returns the exit status (0 written, 1 not).
int exportFigureCommand(const ProgramArguments& arguments, CTervaneDoc& doc, QTextStream& errors);
