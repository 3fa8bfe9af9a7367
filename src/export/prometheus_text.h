#pragma once
// The results as Prometheus metrics in the text exposition format, for a textfile
// collector: sizes in bytes, whether each drive answered, and an `_info` metric
// whose labels carry the texts. Names start with "brindlecap_drive_", so they never
// meet an exporter's own. UTF-8, every line ended by LF alone, as the format wants.
#include <string>

#include "results/results_model.h"

namespace brindlecap {

std::string PrometheusDocument(const ResultsModel& results);

}  // namespace brindlecap
