#pragma once

class QWidget;
class SettingsStore;

// The main window's place and size, kept in the settings in twips so that
// they mean the same at every screen resolution. They are the window's own
// area, without the frame the window system draws around it (where there is
// one): the frame is not known before the window shows, and differs between
// window systems.

// The logical resolution of the screen `window` is on (of the primary screen
// before it is on one), 96 when there is no screen at all.
double windowDotsPerInch(const QWidget &window);

// Places `window` where it was stored, a quarter of the screen in from its
// top left corner and 8500 x 5500 twips on the first start; a place off
// every screen or a size beyond it is fitted into the screen, now and again
// when the window is first shown.
void restoreStoredGeometry(QWidget &window, const SettingsStore &settings);

// Stores where `window`'s area is and its size; a stored value that gives
// the same pixel is left as it was written.
void storeGeometry(const QWidget &window, SettingsStore &settings);
