#pragma once

#include <QDialog>
#include <QThreadPool>
#include <memory>
#include <optional>
#include <string>

#include "session/health_page.h"
#include "session/recent_reports.h"

class HealthGrid;
class HistoryService;
class QComboBox;
class QDateEdit;
class QLabel;
class QStatusBar;
class UiServices;

// The Health window: every pool of the reports of a span of days (or of the report shown alone) and
// its worst rating in each. A click on a cell opens that report at that pool. Everything it shows
// comes from its HealthPage; the history is read off the window's thread.
class HealthWindow : public QDialog {
    Q_OBJECT
public:
    // The history, from `preferred`'s system and subsystem when it holds them; the pools rated with
    // `settings`.
    HealthWindow(HistoryService& history, UiServices& ui, const ornexa::HistoryFilter& preferred,
                 QWidget* parent = nullptr, ornexa::RatingSettings settings = {});
    // The report shown, alone.
    HealthWindow(const ornexa::Report& report, UiServices& ui, QWidget* parent = nullptr,
                 ornexa::RatingSettings settings = {});
    ~HealthWindow() override;
    HealthWindow(const HealthWindow&) = delete;
    HealthWindow& operator=(const HealthWindow&) = delete;
    HealthWindow(HealthWindow&&) = delete;
    HealthWindow& operator=(HealthWindow&&) = delete;

    [[nodiscard]] const ornexa::HealthPage& Page() const { return page_; }
    [[nodiscard]] HealthGrid* Grid() const { return grid_; }
    [[nodiscard]] QComboBox* SystemChoice() const { return system_; }
    [[nodiscard]] QDateEdit* FromDay() const { return from_; }
    [[nodiscard]] QDateEdit* ToDay() const { return to_; }
    [[nodiscard]] QString StatusText() const;
    // What the cell's tooltip says.
    [[nodiscard]] QString CellText(ornexa::HealthPlace place) const;

    // The report and pool a click chose, and for a report held, its files to read.
    [[nodiscard]] const std::optional<ornexa::HealthTarget>& Chosen() const { return chosen_; }
    [[nodiscard]] const std::optional<ornexa::RecentReport>& FilesToOpen() const { return files_; }

    // The user's actions, also for tests.
    void Open(ornexa::HealthPlace place);
    void CopyCell(ornexa::HealthPlace place);
    void ChooseSystem(int index);
    void ChooseSpan();
    // Waits for the history read under way and shows what it read (tests).
    void WaitForLoad();

protected:
    void done(int result) override;

private:
    struct Loaded;
    void Build(bool fromHistory);
    void Load(bool holdings);
    void Show(std::uint64_t generation, const std::shared_ptr<Loaded>& loaded);
    void Refresh();

    HistoryService* history_ = nullptr;
    UiServices& ui_;
    ornexa::HealthPage page_;
    std::shared_ptr<ornexa::HistoryStore> store_; // on the window's thread, for a cell's ratings
    QThreadPool reads_;
    std::uint64_t generation_ = 0;
    bool refreshing_ = false;
    std::optional<ornexa::HealthTarget> chosen_;
    std::optional<ornexa::RecentReport> files_;

    QComboBox* system_ = nullptr;
    QDateEdit* from_ = nullptr;
    QDateEdit* to_ = nullptr;
    HealthGrid* grid_ = nullptr;
    QStatusBar* status_ = nullptr;
};
