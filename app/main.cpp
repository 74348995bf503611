// The desktop program: tervane [DOCUMENT], or without a window tervane --help, --version and
// tervane --export-figure OUT [options] DOCUMENT (ui/document/program_arguments.h).
#include <QApplication>
#include <QTextStream>
#include <cstdio>

#include "ui/document/program_arguments.h"
#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/main_frame.h"

int main(int argc, char* argv[])
{
    // Help and figures need no display: the offscreen platform, unless one was chosen.
    if (runsWithoutWindow(argc, argv) && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));

    QTextStream out(stdout);
    QTextStream errors(stderr);
    const ProgramArguments arguments = parseProgramArguments(QApplication::arguments().mid(1));
    if (!arguments.error.isEmpty()) {
        errors << "tervane: " << arguments.error << Qt::endl << programUsage();
        return 2;
    }
    if (arguments.mode == ProgramArguments::Mode::Help) {
        out << programUsage();
        return 0;
    }
    if (arguments.mode == ProgramArguments::Mode::Version) {
        out << programVersion();
        return 0;
    }

    CTervaneApp app;
    CTervaneDoc doc(&app);
    // The materials the user last opened, or else the bundled standard library.
    const QString materials = app.startupMaterialsFile();
    if (!materials.isEmpty())
        doc.loadMaterials(materials);
    if (arguments.mode == ProgramArguments::Mode::ExportFigure)
        return exportFigureCommand(arguments, doc, errors);

    CMainFrame frame(&app, &doc);
    if (!arguments.document.isEmpty() && !doc.openDocument(arguments.document))
        return 1; // a document named on the command line that cannot be read ends the program, after
                  // a message that names it
    frame.show();
    return QApplication::exec();
}
