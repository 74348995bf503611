#pragma once

// Helpers shared by the dialog tests.
#include <QApplication>
#include <QDialog>
#include <QtTest>

#include "ui/message_sink.h"
#include "ui/number_edit.h"

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
