#pragma once

#include <QString>

// "Keyboard Shortcuts" of the analysis window: a line for each shortcut, the keys and what they do,
// then how a dropped file is read.
QString AnalysisShortcutsText();
