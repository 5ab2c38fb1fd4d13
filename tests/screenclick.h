#ifndef SCREENCLICK_H
#define SCREENCLICK_H

// The driver's finger in the end-to-end tests: the button of that name that
// is on the panel now, whichever window holds it, and a real click on it.

#include <QAbstractButton>
#include <QApplication>
#include <QTest>

inline QAbstractButton *visibleButton(const char *name)
{
    for (QWidget *top : QApplication::topLevelWidgets())
        for (QAbstractButton *b : top->findChildren<QAbstractButton *>(name))
            if (b->isVisible())
                return b;
    return nullptr;
}

inline bool clickVisible(const char *name)
{
    QAbstractButton *b = visibleButton(name);
    if (!b)
        return false;
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
    return true;
}

#endif // SCREENCLICK_H
