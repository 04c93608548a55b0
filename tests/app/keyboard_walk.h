#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <vector>

// Walking a window with the keyboard alone, as a person would.
namespace keyboard {

inline QString Describe(const QWidget* widget) {
    if (widget == nullptr) {
        return QStringLiteral("(none)");
    }
    QString name = QString::fromLatin1(widget->metaObject()->className());
    if (!widget->objectName().isEmpty()) {
        name += QLatin1Char(' ') + widget->objectName();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
        name += QStringLiteral(" \"%1\"").arg(button->text());
    }
    return name;
}

inline void Activate(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

// Presses `key` where the focus is, as a person would.
inline void Press(QWidget& window, int key, Qt::KeyboardModifiers modifiers = {}) {
    QWidget* target = window.focusWidget() != nullptr ? window.focusWidget() : &window;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
}

// Walks `window` with Tab alone from the widget with the focus: every stop must be a visible,
// enabled widget, each press must leave the widget it starts in, and the walk must come back to
// where it began. Returns the widgets passed, in order.
inline std::vector<QWidget*> WalkWithTab(QWidget& window, const QString& where) {
    std::vector<QWidget*> passed;
    QWidget* start = window.focusWidget();
    EXPECT_NE(start, nullptr) << where.toStdString();
    if (start == nullptr) {
        return passed;
    }
    QWidget* at = start;
    for (int press = 0; press < 120; ++press) {
        Press(window, Qt::Key_Tab);
        QWidget* next = window.focusWidget();
        EXPECT_NE(next, at) << where.toStdString() << ": Tab stays in " << Describe(at).toStdString();
        if (next == nullptr || next == at) {
            return passed;
        }
        EXPECT_TRUE(next->isVisible() && next->isEnabled())
            << where.toStdString() << ": Tab reaches the hidden or disabled " << Describe(next).toStdString();
        if (next == start) {
            return passed;
        }
        passed.push_back(next);
        at = next;
    }
    QStringList last;
    for (std::size_t i = passed.size() - 6; i < passed.size(); ++i) {
        last << Describe(passed[i]);
    }
    ADD_FAILURE() << where.toStdString() << ": Tab never comes back to " << Describe(start).toStdString()
                  << "; it goes round " << last.join(QStringLiteral(", ")).toStdString();
    return passed;
}

} // namespace keyboard
