#include "app/cluster_widget.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/list_models.h"
#include "app/usage_options.h"
#include "stats/ui/display_text.h"

namespace {

QString Latin1(const std::string& text) {
    return ornexa::ui::DisplayText(text);
}

QTableView* ClusterList(QWidget* parent, const char* name, TextRowsModel* model) {
    auto* view = new QTableView(parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->horizontalHeader()->setStretchLastSection(true);
    view->horizontalHeader()->setSectionsClickable(true);
    view->setAlternatingRowColors(true);
    return view;
}

// The radius box counts with the arrow keys as the spinner does.
class RadiusKeys : public QObject {
public:
    RadiusKeys(QObject* parent, std::function<void(ornexa::Direction)> step)
        : QObject(parent), step_(std::move(step)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down) {
                step_(key == Qt::Key_Up ? ornexa::Direction::Up : ornexa::Direction::Down);
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void(ornexa::Direction)> step_;
};

} // namespace

ClusterWidget::ClusterWidget(ornexa::AnalysisSession& session, ornexa::FileChooser& chooser, Apply apply,
                             QWidget* parent)
    : QWidget(parent), session_(session), chooser_(chooser), apply_(std::move(apply)) {
    auto* layout = new QVBoxLayout(this);
    auto* controls = new QHBoxLayout;
    auto* form = new QFormLayout;
    BuildPoolSizes(*form);
    BuildRadius(*form);
    controls->addLayout(form);
    BuildActions(*controls);
    layout->addLayout(controls);
    layout->addWidget(BuildClusterLists(), 1);
    ConnectClusterLists();
}

void ClusterWidget::BuildPoolSizes(QFormLayout& form) {
    sizes_ = new QComboBox(this);
    sizes_->setObjectName(QStringLiteral("cmbPoolSize"));
    connect(sizes_, &QComboBox::activated, this, [this](int index) { apply_(session_.SelectPoolSize(index)); });
    form.addRow(tr("Pool &Size"), sizes_);
}

void ClusterWidget::BuildRadius(QFormLayout& form) {
    auto* radiusRow = new QHBoxLayout;
    radius_ = new QLineEdit(this);
    radius_->setObjectName(QStringLiteral("txtClusterRadius"));
    radius_->setMaximumWidth(radius_->fontMetrics().averageCharWidth() * 10);
    connect(radius_, &QLineEdit::textEdited, this,
            [this](const QString& text) { apply_(session_.SetRadiusText(text.toStdString())); });
    radius_->installEventFilter(
        new RadiusKeys(radius_, [this](ornexa::Direction direction) { apply_(session_.StepRadius(direction)); }));
    auto* spinner = new QWidget(this);
    spinner->setObjectName(QStringLiteral("udClusterRadius"));
    auto* arrows = new QVBoxLayout(spinner);
    arrows->setContentsMargins(0, 0, 0, 0);
    arrows->setSpacing(0);
    up_ = new QToolButton(spinner);
    up_->setArrowType(Qt::UpArrow);
    up_->setToolTip(tr("Larger radius; hold to keep counting"));
    down_ = new QToolButton(spinner);
    down_->setArrowType(Qt::DownArrow);
    down_->setToolTip(tr("Smaller radius; hold to keep counting"));
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setFocusPolicy(Qt::NoFocus); // the radius box takes the arrow keys
        arrow->setFixedHeight(radius_->sizeHint().height() / 2);
        arrows->addWidget(arrow);
        connect(arrow, &QToolButton::released, this, &ClusterWidget::Release);
    }
    connect(up_, &QToolButton::pressed, this, [this] { Press(ornexa::Direction::Up); });
    connect(down_, &QToolButton::pressed, this, [this] { Press(ornexa::Direction::Down); });
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("tmrClusterRadius"));
    timer_->setInterval(150);
    connect(timer_, &QTimer::timeout, this, [this] { apply_(session_.RepeatTick()); });
    radiusRow->addWidget(radius_);
    radiusRow->addWidget(spinner);
    radiusRow->addStretch();
    auto* radiusLabel = new QLabel(tr("Cluster &Radius"), this);
    radiusLabel->setBuddy(radius_);
    form.addRow(radiusLabel, radiusRow);
}

void ClusterWidget::BuildActions(QHBoxLayout& controls) {
    auto* intent = new QGroupBox(QStringLiteral("Pool Usage"), this);
    intent->setObjectName(QStringLiteral("optPoolClusterAnalysisUsage"));
    usage_ = AddUsageOptions(intent, this);
    connect(usage_, &QButtonGroup::idClicked, this,
            [this](int index) { apply_(session_.SetClusterUsage(ornexa::SelectPoolUsage(index))); });
    controls.addWidget(intent);
    controls.addStretch();
    auto* createFile = new QPushButton(QStringLiteral("Create Cluster File"), this);
    createFile->setObjectName(QStringLiteral("cmdClusterCreateFile"));
    connect(createFile, &QPushButton::clicked, this, [this] { apply_(session_.CreateClusterFile(chooser_)); });
    controls.addWidget(createFile, 0, Qt::AlignTop);
    regroup_ = new QPushButton(tr("Regroup Objects..."), this);
    regroup_->setObjectName(QStringLiteral("cmdRegroupObjects"));
    regroup_->setToolTip(tr("The statements that move each cluster's objects to a pool of its own"));
    connect(regroup_, &QPushButton::clicked, this, &ClusterWidget::RegroupRequested);
    controls.addWidget(regroup_, 0, Qt::AlignTop);
}

QGroupBox* ClusterWidget::BuildClusterLists() {
    auto* info = new QGroupBox(QStringLiteral("Cluster Info"), this);
    auto* lists = new QHBoxLayout(info);
    clusterModel_ = new TextRowsModel(this);
    memberModel_ = new TextRowsModel(this);
    clusters_ = ClusterList(info, "lvClusters", clusterModel_);
    members_ = ClusterList(info, "lvClusterObjects", memberModel_);
    auto* clusterSide = new QVBoxLayout;
    clusterSide->addWidget(new QLabel(QStringLiteral("Clusters"), info));
    clusterSide->addWidget(clusters_, 1);
    auto* memberSide = new QVBoxLayout;
    memberSide->addWidget(new QLabel(QStringLiteral("Objects"), info));
    memberSide->addWidget(members_, 1);
    lists->addLayout(clusterSide, 2);
    lists->addLayout(memberSide, 3);
    return info;
}

void ClusterWidget::ConnectClusterLists() {
    connect(clusters_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!painting_ && current.isValid()) {
                    session_.ClickClusterRow(current.row());
                    apply_({});
                }
            });
    connect(clusters_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        session_.ClickClusterRow(index.row());
        apply_({});
    });
    connect(clusters_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        session_.Clusters().SortClusterList(column);
        apply_({});
    });
    connect(members_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        session_.Clusters().SortClusterObjects(column);
        apply_({});
    });
}

void ClusterWidget::Press(ornexa::Direction direction) {
    session_.Clusters().StartRepeat(direction);
    timer_->start();
    apply_(session_.StepRadius(direction));
}

void ClusterWidget::Release() {
    session_.Clusters().StopRepeat();
    timer_->stop();
}

void ClusterWidget::Refresh() {
    const ornexa::ClusterPage& page = session_.Clusters();
    const ornexa::RuleAnalysisPage& rules = session_.Rules();
    if (page.Version() == shownVersion_ && rules.Version() == shownRuleVersion_) {
        return;
    }
    shownVersion_ = page.Version();
    shownRuleVersion_ = rules.Version();
    painting_ = true;
    QStringList sizes;
    for (const std::string& size : page.PoolSizes()) {
        sizes.push_back(Latin1(size));
    }
    QStringList shown;
    for (int i = 0; i < sizes_->count(); ++i) {
        shown.push_back(sizes_->itemText(i));
    }
    if (shown != sizes) {
        sizes_->clear();
        sizes_->addItems(sizes);
    }
    sizes_->setCurrentIndex(page.SelectedPoolSize());
    if (radius_->text().toStdString() != page.RadiusText()) {
        radius_->setText(Latin1(page.RadiusText()));
    }
    if (QAbstractButton* option = usage_->button(rules.UsageOption())) {
        option->setChecked(true);
    }
    regroup_->setEnabled(page.LastRun().result > 0);
    std::vector<TextRowsModel::Row> clusterRows;
    for (const ornexa::ClusterListRow& row : page.Clusters()) {
        clusterRows.push_back({row.cluster, {row.cells.begin(), row.cells.end()}, std::nullopt});
    }
    clusterModel_->UpdateRows(page.ClusterCaptions(), std::move(clusterRows));
    std::vector<TextRowsModel::Row> memberRows;
    for (const ornexa::ClusterObjectRow& row : page.Objects()) {
        memberRows.push_back({row.object, {row.cells.begin(), row.cells.end()}, row.icon});
    }
    memberModel_->UpdateRows(page.ObjectCaptions(), std::move(memberRows));
    painting_ = false;
}
