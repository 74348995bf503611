#pragma once

// Helpers shared by the dialog tests.
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QtTest>

#include "ui/message_sink.h"
#include "ui/number_edit.h"

// The child of `parent` with that object name. A missing one stops the run: the dialog is not the one
// the test was written for.
template <typename T = NumberEdit> T* childNamed(QWidget& parent, const QString& name)
{
    T* widget = parent.findChild<T*>(name);
    if (!widget)
        qFatal("no child %s", qPrintable(name));
    return widget;
}

// Clicks a button; the dialog's result once it closed, or -1 while it stays open (a refused OK).
inline int pressButton(QDialog& dialog, const QString& button)
{
    childNamed<QPushButton>(dialog, button)->click();
    return dialog.isVisible() ? -1 : dialog.result();
}

// Shows and activates the dialog so that focus changes can be observed.
inline void showActive(QDialog& dialog)
{
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
}

// The validation message, the focus and the selection left by a refused OK; the dialog stays open.
inline void verifyRefused(const RecordingMessageSink& sink, QDialog& dialog, NumberEdit* field,
                          const QString& message)
{
    QCOMPARE(sink.messages, QStringList{message});
    QCOMPARE(QApplication::focusWidget(), field);
    QCOMPARE(field->selectedText(), field->text());
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}
