#pragma once
// Clicks a button of a paged dialog as the operator does: its page first, then the button. A
// radio button or check box takes a click on its indicator or caption only; the middle of a box
// that its layout stretches can be empty space, depending on the font, so it is clicked on its
// indicator.
#include <QAbstractButton>
#include <QCheckBox>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>

namespace tarvis::test {

inline void ClickOnPage(QTabWidget& pages, QAbstractButton* button) {
    for (QWidget* w = button; w != nullptr; w = w->parentWidget()) {
        if (const int page = pages.indexOf(w); page >= 0) {
            pages.setCurrentIndex(page);
        }
    }
    const bool indicator = qobject_cast<QRadioButton*>(button) != nullptr ||
                           qobject_cast<QCheckBox*>(button) != nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {},
                      indicator ? QPoint(button->height() / 2, button->height() / 2) : QPoint());
}

} // namespace tarvis::test
