#pragma once

#include <QWidget>
#include <cstdint>

#include "session/rule_analysis_page.h"

class QButtonGroup;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QTableWidget;

// Tab 3, "Pool Stat Analysis": paints the session's RuleAnalysisPage (the rules that apply, the
// pool's metrics, its commands, the usage chosen) and asks for another usage.
class RuleAnalysisView : public QWidget {
    Q_OBJECT
public:
    explicit RuleAnalysisView(const ornexa::RuleAnalysisPage& page, QWidget* parent = nullptr);

    // Paints the page if it changed since it was painted last.
    void Refresh();
    // "Copy Commands": the pool's commands to the clipboard.
    void CopyCommands() const;

    [[nodiscard]] QListWidget* Rules() const { return rules_; }
    [[nodiscard]] QTableWidget* Metrics() const { return metrics_; }
    [[nodiscard]] QPlainTextEdit* Commands() const { return commands_; }

signals:
    // "Pool Usage Intent": the option chosen (1 Random, 0 Sequential).
    void UsageChosen(int option);
    void PoolSizingWanted();

private:
    QWidget* BuildMetrics();
    QWidget* BuildCommands();
    void PaintMetrics();

    const ornexa::RuleAnalysisPage& page_;
    std::uint64_t shownVersion_ = 0;
    QLabel* caption_ = nullptr;
    QListWidget* rules_ = nullptr;
    QTableWidget* metrics_ = nullptr;
    QPlainTextEdit* commands_ = nullptr;
    QButtonGroup* usage_ = nullptr;
};
