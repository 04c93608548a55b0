#pragma once

#include <functional>

class QTabWidget;
class QWidget;

// Tab and Shift+Tab move between the widgets of `root` and its dialogs' widgets: no list keeps
// them to walk its cells, no read-only text takes them as characters.
void LetTabMoveFocus(QWidget& root);

// The keys that switch the tabs of `tabs` from any widget of `window`, a list or an inner tab
// strip too: Ctrl+Tab and Ctrl+PgDn to the next tab that can be chosen, Ctrl+Shift+Tab and
// Ctrl+PgUp to the one before (both round the ends), Alt+1 to Alt+9 to that tab directly.
// `choose` is told the tab; hidden and disabled tabs are never chosen.
void AddTabKeys(QWidget& window, const QTabWidget& tabs, const std::function<void(int)>& choose);

// The tab `step` tabs on from the current one (-1 or 1) that can be chosen, round the ends; the
// current tab when none other can.
int NextUsableTab(const QTabWidget& tabs, int step);
