#pragma once

class AnalysisWindow;
class UiServices;

// What the analysis window's charts and lists offer besides showing: every chart copies and saves
// itself, every list copies its rows (Ctrl+C) and exports itself as CSV from its context menu.
void AttachAnalysisExports(AnalysisWindow& window, UiServices& ui);
