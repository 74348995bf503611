#include "ui/document/tervane_app.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Local AppWizard-Generated Applications"), QStringLiteral("Tervane"));
}

const QString recentGroup = QStringLiteral("Recent File List");
const QString materialsKey = QStringLiteral("Settings/MaterialsFile");

} // namespace

CTervaneApp::CTervaneApp(QObject* parent) : QObject(parent)
{
    QSettings store = settings();
    for (int i = 1; i <= recentFileCount; ++i) {
        const QString path = store.value(recentGroup + QStringLiteral("/File%1").arg(i)).toString();
        if (!path.isEmpty())
            recentFiles_.append(path);
    }
}

void CTervaneApp::addRecentFile(const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recentFiles_.removeAll(absolute);
    recentFiles_.prepend(absolute);
    while (recentFiles_.size() > recentFileCount)
        recentFiles_.removeLast();
    saveRecentFiles();
    emit recentFilesChanged();
}

void CTervaneApp::removeRecentFile(const QString& path)
{
    recentFiles_.removeAll(path);
    saveRecentFiles();
    emit recentFilesChanged();
}

void CTervaneApp::saveRecentFiles() const
{
    QSettings store = settings();
    store.remove(recentGroup);
    for (int i = 0; i < recentFiles_.size(); ++i)
        store.setValue(recentGroup + QStringLiteral("/File%1").arg(i + 1), recentFiles_[i]);
}

QString CTervaneApp::standardLibraryFile()
{
    // The build tree and the installed tree both keep the library in share/ beside bin/ (or cli/).
    const QDir programDir(QCoreApplication::applicationDirPath());
    for (const QString& relative : {QStringLiteral("../share/tervane/materials/standard.toml"),
                                    QStringLiteral("share/tervane/materials/standard.toml")}) {
        const QString candidate = programDir.absoluteFilePath(relative);
        if (QFileInfo::exists(candidate))
            return QFileInfo(candidate).canonicalFilePath();
    }
    return {};
}

QString CTervaneApp::startupMaterialsFile() const
{
    const QString remembered = settings().value(materialsKey).toString();
    if (!remembered.isEmpty() && QFileInfo::exists(remembered))
        return remembered;
    return standardLibraryFile();
}

void CTervaneApp::setMaterialsFile(const QString& path)
{
    settings().setValue(materialsKey, QFileInfo(path).absoluteFilePath());
}
