#ifndef FONTS_H
#define FONTS_H

#include <QStringList>

// The sixteen Roboto faces compiled into the program, in registration order.
QStringList robotoFontResources();

// Screens: the faces the style tokens draw the customer screens in (Regular
// and Bold), registered at start; All: every face, registered on demand by
// the service screens. A face already registered is not registered again.
enum class RobotoFaces { Screens, All };

// Registers faces with the application font database; a face that fails is
// left out. Returns how many this call registered. Roboto also becomes the
// application's font, so that no text falls back to the system's face (and
// the system's face is never loaded).
int registerRobotoFonts(RobotoFaces faces = RobotoFaces::All);

#endif // FONTS_H
