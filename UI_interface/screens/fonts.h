#ifndef FONTS_H
#define FONTS_H

#include <QStringList>

// The sixteen Roboto faces compiled into the program, in registration order.
QStringList robotoFontResources();

// Registers them with the application font database; a face that fails is
// left out. Returns how many registered.
int registerRobotoFonts();

#endif // FONTS_H
