#ifndef SCREENTEXT_H
#define SCREENTEXT_H

// Screen texts in the driver's language and the one way money is shown.

#include <QString>

// The words of a screen text in the language now chosen. Tags and the blanks
// around each run of words are kept, so a rich-text token keeps its markup
// and only its words change. Words without a translation stay as they are.
QString screenText(const QString &text);

// Money as every screen shows it: the euro sign, a blank, two decimals
// ("€ 1.10"); negative and non-finite amounts as "€ 0.00".
QString moneyText(double euros);

// The driver's languages, in the order the status bar button cycles them.
namespace Language {
int count();
int current();                // 0 English, 1 German, 2 French, 3 Spanish
QString code(int index);      // "EN", "DE", "FR", "ES"
// Loads and installs the language (English removes the translation); every
// widget is told at once through QEvent::LanguageChange. False when its
// translation cannot be loaded: the language then stays as it was.
bool select(int index);
void next();                  // EN -> DE -> FR -> ES -> EN
// The style of the language button: its picture names the language shown.
QString buttonImage();
// The button's whole style sheet, its pressed look included.
QString buttonStyle();
} // namespace Language

#endif // SCREENTEXT_H
