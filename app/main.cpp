// The desktop program: tervane [DOCUMENT]
#include <QApplication>

#include "ui/document/tervane_app.h"
#include "ui/document/tervane_doc.h"
#include "ui/views/main_frame.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tervane"));
    QApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));

    CTervaneApp app;
    CTervaneDoc doc(&app);
    // The materials the user last opened, or else the bundled standard library.
    const QString materials = app.startupMaterialsFile();
    if (!materials.isEmpty())
        doc.loadMaterials(materials);

    CMainFrame frame(&app, &doc);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1 && !doc.openDocument(arguments.at(1)))
        return 1; // a document named on the command line that cannot be read ends the program
    frame.show();
    return QApplication::exec();
}
