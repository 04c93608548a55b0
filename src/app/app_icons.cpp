#include "app/app_icons.h"

#include <QString>

// The resources live in this static library: the linker keeps them only when they are named.
static void LoadIcons() { // NOLINT(misc-use-anonymous-namespace): Q_INIT_RESOURCE names a global
    Q_INIT_RESOURCE(icons);
}

namespace {

// The pictures are vectors in the program's resources (data/icons), drawn afresh at every size
// and device pixel ratio.
QIcon Picture(const char* name) {
    static const bool loaded = (LoadIcons(), true);
    (void)loaded;
    return QIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

QIcon StatusIcon(int picture) {
    switch (picture) {
    case 2:
        return Picture("status-read");
    case 3:
        return Picture("status-may-choose");
    case 4:
        return Picture("status-warning");
    case 5:
        return Picture("status-not-read");
    default:
        return Picture("status-not-chosen");
    }
}

QIcon ObjectTypeIcon(ornexa::ObjectIcon icon) {
    switch (icon) {
    case ornexa::ObjectIcon::TableSpace:
        return Picture("type-table-space");
    case ornexa::ObjectIcon::Index:
        return Picture("type-index");
    case ornexa::ObjectIcon::TypeD:
        return Picture("type-d");
    case ornexa::ObjectIcon::Other:
        break;
    }
    return Picture("type-other");
}

QIcon ProgramIcon() {
    return Picture("program");
}
