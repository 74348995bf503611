#pragma once

// Helpers shared by the dialog tests: controls found by their names, buttons pressed, and a runner
// that answers the dialogs a command opens.
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <utility>
#include <vector>

#include "io/materials_toml.h"
#include "test_doubles.h"
#include "ui/dialogs/number_edit.h"
#include "ui/dialogs/settings_dialog.h"

inline const QString notANumber = QStringLiteral("Please enter a number.");

// The child of `parent` with that object name. A missing one stops the run: the dialog is not the one
// the test was written for.
template <typename T = NumberEdit> T* childNamed(QWidget& parent, const QString& name)
{
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

inline QString shown(QWidget& dialog, const QString& field)
{
    return childNamed<QLineEdit>(dialog, field)->text();
}

// Clicks a button; the dialog's result once it closed, or -1 while it stays open (a refused OK).
inline int pressButton(QDialog& dialog, const QString& button)
{
    childNamed<QPushButton>(dialog, button)->click();
    return dialog.isVisible() ? -1 : dialog.result();
}

using Step = std::function<int(QDialog&)>;

// A step that types the texts into their fields, then presses `button`.
inline Step typing(std::vector<std::pair<QString, QString>> entries, const QString& button = "okButton")
{
    return [=](QDialog& dialog) {
        for (const auto& [field, text] : entries)
            childNamed<QLineEdit>(dialog, field)->setText(text);
        return pressButton(dialog, button);
    };
}

// Answers the dialogs a command opens, nested ones included: one step per dialog in the order they
// open, each given its dialog shown and returning the code it closed with. A dialog past the last
// step is cancelled. The captions of all dialogs opened are kept.
struct Script {
    explicit Script(std::vector<Step> answers) : steps(std::move(answers)) {}

    std::vector<Step> steps;
    QStringList captions;

    DialogRunner runner()
    {
        return [this](QDialog& dialog) {
            captions.append(dialog.windowTitle());
            if (std::size_t(captions.size()) > steps.size())
                return int(QDialog::Rejected);
            dialog.show();
            return steps[std::size_t(captions.size() - 1)](dialog);
        };
    }
};

// The bundled standard library, read from the source tree.
inline std::vector<tervane::Material> standardLibrary()
{
    std::vector<tervane::Material> materials;
    if (!tervane::loadMaterialsTomlFile(TERVANE_SOURCE_DIR "/examples/materials/standard.toml", materials))
        qFatal("the standard library cannot be read");
    return materials;
}
