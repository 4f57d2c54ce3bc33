#pragma once
// Fixed numbers of the window's layout that more than one place needs.

#include <QColor>
#include <QFont>
#include <QString>

namespace velquor::ui {

inline constexpr int ClientWidth = 1079 - 16; // outer width less a typical frame
inline const QColor WindowColour{0x78, 0x78, 0x78};
inline const QColor StripColour{0x55, 0x55, 0x55};
inline const QColor InfoPanelColour{0xC0, 0xC0, 0xC0};
inline const QColor HintColour{0x80, 0x80, 0x80};

inline const QString AuthorCredit = QStringLiteral("© 2026 Velquor-Team");
inline const QString WindowCaption = QStringLiteral("Velquor       ") + AuthorCredit;

// The layout's fonts at their pixel sizes; missing families fall back to the nearest
// installed ones (see InstallLayoutFonts).
QFont LayoutFont(int pixelSize, bool bold = false);
QFont InfoButtonFont();
// Installs the substitutes, and makes the layout's text font the application's, so that a
// control never loads the system's default font before it gets its own.
void InstallLayoutFonts();

} // namespace velquor::ui
