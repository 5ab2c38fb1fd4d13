#ifndef SCREENSETUP_H
#define SCREENSETUP_H

// The set-up every customer screen and popup shares, so that all of them draw
// in the panel's face and sit at the same places on the panel.

#include <QString>
#include <QtGlobal>

#include <functional>

class QLabel;
class QPixmap;
class QPushButton;
class QSize;
class QWidget;

// Draws the widget and its children in Roboto, at the size they already have.
void setRobotoFont(QWidget *widget);

// Runs `retranslate` each time the language changes under the widget
// (QEvent::LanguageChange), so that it follows the language button at once.
void retranslateOnLanguageChange(QWidget *widget, std::function<void()> retranslate);

// A full page under the status and navigation bars.
void setupScreenPage(QWidget *page);

// A popup is a frameless window of its own above the main window and its
// veil. Only its card is drawn: the window itself is see-through, so the veil
// shows around the card's rounded corners. Window and card cover the w x h
// layout units at (x, y) on the panel.
void setupPopupWindow(QWidget *popup, QWidget *card, const QString &cardStyle, double x, double y, double w, double h,
                      Qt::WindowFlags flags = Qt::Dialog | Qt::FramelessWindowHint);

// The keypad's layout inside its 40 x 29 unit card: twelve key places in rows
// of three under the entry field (a null key leaves its place empty), then
// cancel and confirm side by side. No key takes the focus from the entry.
void placeKeypadKeys(QPushButton *const (&keys)[12], const QString &keySheet);
void placeKeypadButtons(QPushButton *cancel, const QString &cancelSheet, QPushButton *confirm,
                        const QString &confirmSheet);

// A label in large type over a bar that moves five times a second: glyphs
// above 64 px are not cached by the toolkit and get filled from their
// outlines at every repaint of the bar. The label keeps what it drew and
// paints that again until its text, size, style or language change.
void keepTextRendered(QLabel *label);

// For a widget that changes often over widgets that do not (the charging bar):
// it keeps an image of what lies under it (the window's background and the
// widgets stacked below it) and paints that before itself, so those widgets
// are not painted again with it. The image is taken again when the widget is
// shown, moved, resized or restyled; the widgets under it must not change
// while it is shown.
void paintOverKeptBackground(QWidget *widget);

// The status bar's health icon: a green disc with a tick when the CCU, the
// meter and the OCPP client all answer, an orange disc with "!" otherwise.
QPixmap healthIcon(const QSize &size, bool healthy);

#endif // SCREENSETUP_H
