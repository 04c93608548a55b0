#pragma once

#include <vector>

#include "display/display_series.h"
#include "report/read_fault.h"
#include "report/report_model.h"

namespace ornexa {

// Makes `report` (reset, its limits set) the report of one interval: the header of its subsystem and
// time, a pool record per pool and an object record per data set (LSTATS), each field the display
// gives filled and marked given, the rest 0 and not given; what the display tells beyond the records
// in `report.Db2Display`. A figure beyond what a record field holds is kept at the field's largest
// value, said in `notes`. False, with nothing added for the pool, when a pool or a data set lies beyond
// the report's limits; `full` then names its line.
bool FillReport(Report& report, const DisplayInterval& interval, std::vector<ReadNote>& notes, std::int64_t& full);

// "DSNDB04.TSORDERS #3": the object name of a data set, its partition or data set number after the space.
std::string DataSetName(const DisplayDataSet& dataSet);

} // namespace ornexa
