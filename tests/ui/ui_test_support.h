// Helpers for driving the real window in Qt Test.
#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <memory>

#include "ui/appearance.h"
#include "ui/mdi_form1.h"

using namespace quillet::ui;

struct SeenMessage {
    bool shown = false;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::Information;
    QList<QAbstractButton*>::size_type buttonCount = 0;
    bool onlyOk = false;
};

// Records and dismisses the next modal message box, once it is up.
inline void DismissNextMessageBox(SeenMessage* seen) {
    QTimer::singleShot(0, qApp, [seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen->shown = true;
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->icon = box->icon();
        seen->buttonCount = box->buttons().size();
        seen->onlyOk = box->standardButtons() == QMessageBox::Ok;
        box->button(QMessageBox::Ok)->click();
    });
}

// A loaded window, shown and active, as a user first sees it.
inline std::unique_ptr<MDIForm1> OpenWindow() {
    auto form = std::make_unique<MDIForm1>();
    form->Load();
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get()))
        qWarning("the window did not become active");
    return form;
}

inline QWidget* Focused() { return QApplication::focusWidget(); }

inline void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::keyClick(Focused(), key, modifiers);
}

inline void Type(const QString& keys) { QTest::keyClicks(Focused(), keys); }
