#pragma once

class QButtonGroup;
class QGroupBox;
class QObject;

// The two options of a pool usage in `box`, "Sequential" (id 0) then "Random" (id 1), as the
// rule tab and the cluster tab show them; the group belongs to `owner`.
QButtonGroup* AddUsageOptions(QGroupBox* box, QObject* owner);
