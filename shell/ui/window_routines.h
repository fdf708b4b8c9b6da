#pragma once
// Window routines: measuring a caption, keeping a window on the desktop's
// work area, and laying out the tagged push buttons of a window.

#include <string>

class QFont;
class QString;
class QTabWidget;
class QWidget;

namespace korvane {

// Width in pixels of text drawn in font, plus 4 times the border width (1).
int TextPixelWidth(const QString& text, const QFont& font);
int TextPixelWidth(const std::string& text, const QFont& font);

// Limits the window's maximum size to the primary screen's work area, keeps
// its minimum size within nine tenths of it, and pulls the window back so
// that at least 50 pixels stay reachable.
void FitFormToWorkArea(QWidget* window);

// Lays out the push and tool buttons of window that are visible (as set,
// not as shown), take the Tab key and carry a dynamic property "Tag" > 0:
// one row per Tag inside each parent panel, below the parent's other visible
// controls, each button sized to its caption and icon; rows wrap when the
// parent is too narrow, and the parent's height follows the last row. The
// order within a row is the dynamic property "TabOrder" when set, else the
// order of creation.
void ArrangeTaggedButtons(QWidget* window);

// Shows or hides a page of a tab control (a page not in it is left alone),
// and whether it is shown.
void SetTabVisible(QTabWidget* tabs, QWidget* page, bool visible);
bool IsTabVisible(QTabWidget* tabs, QWidget* page);

}  // namespace korvane
