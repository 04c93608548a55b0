#include "app/chart_actions.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "app/ui_services.h"
#include "session/file_dialogs.h"
#include "stats/ui/chart_picture.h"
#include "stats/ui/chart_view.h"

namespace {
constexpr std::string_view ChartFileFilters =
    "PNG Image (*.png)|*.png|SVG Image (*.svg)|*.svg|PDF Document (*.pdf)|*.pdf";
} // namespace

ChartActions::ChartActions(ChartView* chart, UiServices& ui, ornexa::SaveFolders& folders)
    : QObject(chart), chart_(chart), ui_(ui), folders_(folders), copy_(new QAction(tr("Copy Chart"), chart)),
      save_(new QAction(tr("Save Chart As..."), chart)) {
    copy_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    copy_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    save_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    save_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    chart->addAction(copy_);
    chart->addAction(save_);
    connect(copy_, &QAction::triggered, this, &ChartActions::CopyChart);
    connect(save_, &QAction::triggered, this, &ChartActions::SaveChartAs);
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(chart, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(chart_);
        menu.addAction(copy_);
        menu.addAction(save_);
        menu.exec(chart_->mapToGlobal(at));
    });
}

void ChartActions::CopyChart() const {
    QGuiApplication::clipboard()->setImage(ChartImage(chart_->Model()));
}

void ChartActions::SaveChartAs() {
    ornexa::FileDialogRequest request;
    request.filters = ornexa::ParseFilterList(ChartFileFilters);
    request.fileName = "chart.png";
    request.suffixFromFilter = true;
    const auto chosen = ornexa::ChooseSaveFile(ui_, folders_, ornexa::SaveKind::Chart, std::move(request));
    if (!chosen) {
        return;
    }
    QString path = QString::fromStdString(chosen->string());
    std::optional<PictureFormat> format = PictureFormatOf(path);
    if (!format) { // a name of another type: a PNG picture under that name with ".png"
        path += QStringLiteral(".png");
        format = PictureFormat::Png;
    }
    if (const auto failure = WriteChartPicture(chart_->Model(), path, *format)) {
        ui_.Show({tr("Save Chart As").toStdString(),
                  tr("File <%1> not created: %2").arg(path, QString::fromStdString(*failure)).toStdString(),
                  ornexa::MessageIcon::Exclamation});
    }
}
