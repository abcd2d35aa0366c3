#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's own pictures, compiled in from images.qrc.
namespace ProgramImages {

// Registers the compiled-in pictures; the windows call it before their first use, and it
// is needed because the linker drops an unreferenced resource from a static library.
void ensureLoaded();

// ImageList1's five 16 x 16 toolbar pictures, numbered 1 to 5: sheet, open folder,
// diskette, printer, question mark. An empty string outside 1 to 5.
QString toolbarImagePath(int index);
QPixmap toolbarImage(int index);

// The window icon at 16, 32, 48 and 256 pixels.
QIcon programIcon();

// The 136 x 108 logo of the About box and the splash screen.
QPixmap logo();

}  // namespace ProgramImages
