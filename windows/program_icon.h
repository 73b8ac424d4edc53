#pragma once
// The program's own picture: a thermometer in front of a small logger box,
// drawn in the 16 colours of the classic palette. The About window shows it
// stretched, and the application uses it as the icon of every window.
#include <QIcon>
#include <QImage>

// The 32 x 32 picture, drawn afresh on each call (cheap; callers keep it).
QImage ProgramIconImage();

// The picture as an icon, with a 16 x 16 rendering for small title bars.
QIcon ProgramIcon();

// The green check mark of the dialogs' OK buttons, 16 x 16.
QIcon CheckMarkGlyph();
