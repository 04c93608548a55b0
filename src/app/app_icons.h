#pragma once

#include <QIcon>

#include "stats/object_graph.h"

// Pictures drawn from SVG at any size and device pixel ratio: the status pictures 1 (not chosen),
// 2 (read), 3 (may be chosen), 4 (read with warnings) and 5 (not read); the object type images
// 5 ("T"), 6 ("I"), 7 ("D"), 8 (other) of the object lists.
QIcon StatusIcon(int picture);
QIcon ObjectTypeIcon(ornexa::ObjectIcon icon);
QIcon ProgramIcon();
