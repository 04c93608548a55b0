#pragma once

#include <QString>

class AnalysisWindow;

// "Keyboard Shortcuts" of the analysis window: a line for each shortcut, the keys and what they do,
// then how a dropped file is read.
QString AnalysisShortcutsText();

// The window's keys besides its menu's and buttons': Ctrl+F, the tab keys, Ctrl+1 ... Ctrl+4.
void AddAnalysisShortcuts(AnalysisWindow& window);
