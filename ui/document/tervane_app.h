#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

// The application object: the per-user settings (organisation "Local AppWizard-Generated
// Applications", application "Tervane"), the four-entry recent-file list and the materials file the
// user last opened.
class CTervaneApp : public QObject {
    Q_OBJECT

  public:
    static constexpr int recentFileCount = 4;

    explicit CTervaneApp(QObject* parent = nullptr);

    QStringList recentFiles() const { return recentFiles_; }
    // Moves `path` to the top of the list; the oldest entry drops out past four.
    void addRecentFile(const QString& path);
    void removeRecentFile(const QString& path);

    // The materials file to load at start-up: the last one the user opened or saved, or else the
    // bundled standard library. Empty when neither exists.
    QString startupMaterialsFile() const;
    void setMaterialsFile(const QString& path);
    // The bundled standard library beside the program, or empty.
    static QString standardLibraryFile();

  signals:
    void recentFilesChanged();

  private:
    void saveRecentFiles() const;
    QStringList recentFiles_;
};
