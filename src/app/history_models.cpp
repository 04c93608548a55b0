#include "app/history_models.h"

#include <QColor>
#include <cmath>

#include "app/list_models.h"
#include "stats/ui/display_text.h"

namespace {

HistoryCell TextCell(const QString& text) {
    return {text, text, ornexa::ChangeVerdict::Unrated, {}};
}

HistoryCell TextCell(const std::string& text) {
    return TextCell(ornexa::ui::DisplayText(text));
}

// Whole figures without decimals, others with two; an absent one is an empty cell that sorts first.
HistoryCell FigureCell(std::optional<double> value, const QLocale& locale,
                       ornexa::ChangeVerdict verdict = ornexa::ChangeVerdict::Unrated) {
    if (!value) {
        return {QString(), QVariant(), verdict, {}};
    }
    const bool whole = std::abs(*value) < 1e15 && *value == std::floor(*value);
    return {locale.toString(*value, 'f', whole ? 0 : 2), *value, verdict, {}};
}

HistoryCell CountCell(std::int64_t value, const QLocale& locale) {
    return {locale.toString(static_cast<qlonglong>(value)),
            static_cast<qlonglong>(value),
            ornexa::ChangeVerdict::Unrated,
            {}};
}

} // namespace

void HistoryTableModel::SetRows(QStringList captions, std::vector<HistoryRow> rows) {
    beginResetModel();
    captions_ = std::move(captions);
    rows_ = std::move(rows);
    endResetModel();
}

std::int64_t HistoryTableModel::IdAt(int row) const {
    return row >= 0 && row < rowCount() ? rows_[static_cast<std::size_t>(row)].id : 0;
}

int HistoryTableModel::RowOf(std::int64_t id) const {
    for (std::size_t row = 0; row < rows_.size(); ++row) {
        if (rows_[row].id == id) {
            return static_cast<int>(row);
        }
    }
    return -1;
}

int HistoryTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int HistoryTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant HistoryTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    const HistoryRow& row = rows_[static_cast<std::size_t>(index.row())];
    if (static_cast<std::size_t>(index.column()) >= row.cells.size()) {
        return {};
    }
    const HistoryCell& cell = row.cells[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return cell.text;
    case Qt::ToolTipRole:
        return cell.tip.isEmpty() ? cell.text : cell.tip;
    case SortRole:
        return cell.sort;
    case NumberRole:
        return static_cast<qlonglong>(row.id);
    case VerdictRole:
        return QString::fromLatin1(ornexa::ChangeVerdictKey(cell.verdict));
    case Qt::TextAlignmentRole: {
        const bool figure = cell.sort.typeId() != QMetaType::QString && cell.sort.isValid();
        return figure ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    case Qt::BackgroundRole:
        // Half-transparent, so the palette's text colour stays readable on either ground.
        if (cell.verdict == ornexa::ChangeVerdict::Better) {
            return QColor(40, 170, 70, 90);
        }
        if (cell.verdict == ornexa::ChangeVerdict::Worse) {
            return QColor(220, 50, 50, 90);
        }
        return {};
    default:
        return {};
    }
}

QVariant HistoryTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= captions_.size()) {
        return QAbstractTableModel::headerData(section, orientation, role);
    }
    return captions_.at(section);
}

QStringList ReportCaptions() {
    return {QObject::tr("System"),  QObject::tr("Sub System"), QObject::tr("Collected"), QObject::tr("Pools"),
            QObject::tr("Objects"), QObject::tr("File"),       QObject::tr("Note")};
}

namespace {

QString CollectedText(const std::string& collectedAt) {
    QString text = QString::fromStdString(collectedAt);
    return text.replace(QLatin1Char('T'), QLatin1Char(' '));
}

} // namespace

std::vector<HistoryRow> ReportRows(const std::vector<ornexa::HistoryReportInfo>& reports, const QLocale& locale) {
    std::vector<HistoryRow> rows;
    rows.reserve(reports.size());
    for (const ornexa::HistoryReportInfo& report : reports) {
        HistoryRow row{report.id, {}};
        row.cells.push_back(TextCell(report.system));
        row.cells.push_back(TextCell(report.subsystem));
        row.cells.push_back(TextCell(CollectedText(report.collectedAt)));
        row.cells.push_back(CountCell(report.pools, locale));
        row.cells.push_back(CountCell(report.objects, locale));
        row.cells.push_back(TextCell(QString::fromStdString(report.fileName)));
        QString note;
        if (report.sameTimeAs) {
            note = QObject::tr("Same time as report %1, other content").arg(*report.sameTimeAs);
        }
        if (report.hasSimulation) {
            note = note.isEmpty() ? QObject::tr("With simulation")
                                  : note + QStringLiteral("; ") + QObject::tr("With simulation");
        }
        if (report.db2Display) {
            note =
                note.isEmpty() ? QObject::tr("Db2 display") : note + QStringLiteral("; ") + QObject::tr("Db2 display");
        }
        row.cells.push_back(TextCell(note));
        rows.push_back(std::move(row));
    }
    return rows;
}

QString ReportChoiceText(const ornexa::HistoryReportInfo& report) {
    return QStringLiteral("%1 %2 %3 (#%4)")
        .arg(QString::fromStdString(report.system), QString::fromStdString(report.subsystem),
             CollectedText(report.collectedAt))
        .arg(report.id);
}

QStringList PoolComparisonCaptions() {
    QStringList captions{QObject::tr("Pool")};
    for (const ornexa::ComparedFigure& figure : ornexa::ComparedPoolFigures()) {
        const QString caption = QString::fromLatin1(figure.caption);
        captions << QObject::tr("%1 before").arg(caption) << QObject::tr("%1 after").arg(caption)
                 << QObject::tr("%1 change").arg(caption) << QObject::tr("%1 change %").arg(caption);
    }
    return captions;
}

std::vector<HistoryRow> PoolComparisonRows(const ornexa::ReportComparison& comparison, const QLocale& locale) {
    std::vector<HistoryRow> rows;
    for (const ornexa::PoolComparison& pool : comparison.pools) {
        HistoryRow row;
        row.cells.push_back(TextCell(pool.poolName));
        for (const ornexa::FigureChange& change : pool.figures) {
            row.cells.push_back(FigureCell(change.before, locale));
            row.cells.push_back(FigureCell(change.after, locale));
            row.cells.push_back(FigureCell(change.difference, locale, change.verdict));
            row.cells.push_back(FigureCell(change.percent, locale, change.verdict));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList ObjectMoveCaptions() {
    return {QObject::tr("Change"), QObject::tr("Object"), QObject::tr("Type"), QObject::tr("Pool before"),
            QObject::tr("Pool after")};
}

std::vector<HistoryRow> ObjectMoveRows(const ornexa::ReportComparison& comparison) {
    std::vector<HistoryRow> rows;
    rows.reserve(comparison.objectMoves.size());
    for (const ornexa::ObjectMove& move : comparison.objectMoves) {
        HistoryRow row;
        row.cells.push_back(TextCell(QString::fromLatin1(ornexa::MoveKindKey(move.kind))));
        row.cells.push_back(TextCell(move.objectName));
        row.cells.push_back(TextCell(move.objectType));
        row.cells.push_back(TextCell(move.poolBefore));
        row.cells.push_back(TextCell(move.poolAfter));
        rows.push_back(std::move(row));
    }
    return rows;
}

QStringList ObjectChangeCaptions() {
    return {QObject::tr("Object"), QObject::tr("Type"),  QObject::tr("Pool"),
            QObject::tr("Before"), QObject::tr("After"), QObject::tr("Change")};
}

std::vector<HistoryRow> ObjectChangeRows(const std::vector<ornexa::ObjectChange>& changes, const QLocale& locale) {
    std::vector<HistoryRow> rows;
    rows.reserve(changes.size());
    for (const ornexa::ObjectChange& change : changes) {
        HistoryRow row;
        row.cells.push_back(TextCell(change.objectName));
        row.cells.push_back(TextCell(change.objectType));
        row.cells.push_back(TextCell(change.poolName));
        row.cells.push_back(FigureCell(change.before, locale));
        row.cells.push_back(FigureCell(change.after, locale));
        row.cells.push_back(FigureCell(change.Change(), locale));
        rows.push_back(std::move(row));
    }
    return rows;
}

namespace {

QString VerdictText(ornexa::ChangeVerdict verdict) {
    switch (verdict) {
    case ornexa::ChangeVerdict::Better:
        return QObject::tr("Better");
    case ornexa::ChangeVerdict::Worse:
        return QObject::tr("Worse");
    case ornexa::ChangeVerdict::Same:
        return QObject::tr("Same");
    case ornexa::ChangeVerdict::Unrated:
        break;
    }
    return QObject::tr("Not rated");
}

QString IntervalsText(const ornexa::ChangeCheck& check, const QLocale& locale) {
    const QString before = locale.toString(static_cast<qlonglong>(check.before.size()));
    const QString after = locale.toString(static_cast<qlonglong>(check.after.size()));
    return check.choice == ornexa::IntervalChoice::SameHours
               ? QObject::tr("Same hours, %1 before and %2 after").arg(before, after)
               : QObject::tr("The report before and the one after");
}

QString ConfidenceText(ornexa::SizingConfidence confidence) {
    switch (confidence) {
    case ornexa::SizingConfidence::High:
        return QObject::tr("High confidence");
    case ornexa::SizingConfidence::Medium:
        return QObject::tr("Medium confidence");
    case ornexa::SizingConfidence::Low:
        return QObject::tr("Low confidence");
    case ornexa::SizingConfidence::None:
        break;
    }
    return QObject::tr("No confidence");
}

// "Medium confidence: 1 measured, 1 history", the counts in the user's locale.
QString EvidenceText(const ornexa::SizePrediction& prediction, const QLocale& locale) {
    QStringList parts;
    for (std::size_t kind = 0; kind < ornexa::SizingEvidenceCount; ++kind) {
        if (const int count = prediction.evidence[kind]; count > 0) {
            parts.push_back(QStringLiteral("%1 %2").arg(
                locale.toString(count),
                ornexa::ui::DisplayText(ornexa::SizingEvidenceText(static_cast<ornexa::SizingEvidence>(kind)))));
        }
    }
    return QObject::tr("%1: %2").arg(ConfidenceText(prediction.confidence), parts.join(QStringLiteral(", ")));
}

} // namespace

QStringList SettingChangeCaptions() {
    return {QObject::tr("Pool"),       QObject::tr("Change"),  QObject::tr("Compared"),
            QObject::tr("Figure"),     QObject::tr("Before"),  QObject::tr("After"),
            QObject::tr("Difference"), QObject::tr("Verdict"), QObject::tr("Evidence")};
}

std::vector<HistoryRow> SettingChangeRows(const std::vector<ornexa::ChangeCheck>& checks, const QLocale& locale) {
    std::vector<HistoryRow> rows;
    for (const ornexa::ChangeCheck& check : checks) {
        const QString change = QString::fromStdString(ornexa::SettingStepsText(check.steps));
        const QString compared = IntervalsText(check, locale);
        const auto add = [&](const QString& figure, const HistoryCell& before, const HistoryCell& after,
                             const HistoryCell& difference, const QString& verdict, ornexa::ChangeVerdict colour,
                             const QString& evidence = {}) {
            HistoryRow row{check.firstAfter.id, {}};
            row.cells = {TextCell(check.poolName),
                         TextCell(change),
                         TextCell(compared),
                         TextCell(figure),
                         before,
                         after,
                         difference,
                         TextCell(verdict),
                         TextCell(evidence)};
            row.cells[7].verdict = colour;
            rows.push_back(std::move(row));
        };
        for (std::size_t f = 0; f < ornexa::CheckedFigureCount; ++f) {
            const ornexa::FigureChange& figure = check.figures[f];
            const std::string_view caption = ornexa::CheckedFigures()[f].caption;
            add(QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())),
                FigureCell(figure.before, locale), FigureCell(figure.after, locale),
                FigureCell(figure.difference, locale, figure.verdict), VerdictText(figure.verdict), figure.verdict);
        }
        if (const auto& p = check.prediction) {
            const ornexa::ChangeVerdict met = !p->met   ? ornexa::ChangeVerdict::Unrated
                                              : *p->met ? ornexa::ChangeVerdict::Better
                                                        : ornexa::ChangeVerdict::Worse;
            const QString metText = !p->met   ? QObject::tr("Not judged")
                                    : *p->met ? QObject::tr("Prediction met")
                                              : QObject::tr("Prediction not met");
            const auto differ = [&locale](std::optional<double> predicted, std::optional<double> measured) {
                return FigureCell(predicted && measured ? std::optional<double>(*measured - *predicted) : std::nullopt,
                                  locale);
            };
            if (p->source == ornexa::PredictionSource::SizeCurve) {
                // Only a read rate: the curve knows no hit ratio.
                const QString evidence = EvidenceText(*p, locale);
                HistoryCell expected = FigureCell(p->readRate, locale);
                expected.tip = QObject::tr("Expected by the size curve of report %1, not measured (%2)")
                                   .arg(p->reportId)
                                   .arg(evidence);
                add(QObject::tr("Sync Read I/O / sec: expected (size curve of report %1) and measured")
                        .arg(p->reportId),
                    expected, FigureCell(p->measuredReadRate, locale), differ(p->readRate, p->measuredReadRate),
                    metText, met, evidence);
                continue;
            }
            const bool simulation = p->source == ornexa::PredictionSource::Simulation;
            const QString source = simulation ? QObject::tr("simulation of report %1").arg(p->reportId)
                                              : QObject::tr("Db2's simulated pool in report %1").arg(p->reportId);
            const QString evidence = ornexa::ui::DisplayText(ornexa::SizingEvidenceText(
                simulation ? ornexa::SizingEvidence::Simulation : ornexa::SizingEvidence::Db2Simulated));
            add(QObject::tr("Hit Ratio: predicted (%1) and measured").arg(source), FigureCell(p->hitRatio, locale),
                FigureCell(p->measuredHitRatio, locale), differ(p->hitRatio, p->measuredHitRatio), metText, met,
                evidence);
            add(QObject::tr("Sync Read I/O / sec: predicted (%1) and measured").arg(source),
                FigureCell(p->readRate, locale), FigureCell(p->measuredReadRate, locale),
                differ(p->readRate, p->measuredReadRate), metText, met, evidence);
        }
    }
    return rows;
}
