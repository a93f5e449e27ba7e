// A verification as a lab files it: the network, the verification's
// conditions, the requirement, the decision rule and the verdict, the
// budget's band lines, the plots, the measurement file's name and SHA-256,
// lines to sign on, then every point; and a network's history over time.
#pragma once

#include <vector>

#include "pdf/sheet.h"
#include "plot/trend_plot.h"
#include "records/records.h"

namespace quillet::recordpdf {

// verification must hold the file's bytes (VerificationRegister::Get).
// Throws measurement::ReadError if the bytes no longer read.
pdf::Sheet RecordSheet(const records::Network& network, const records::Verification& verification);

// The network's verifications over time: the worst margin and each band's
// standard uncertainty, for the printed history and the register window.
plot::TrendPlot HistoryTrend(const records::Network& network, const std::vector<records::Verification>& verifications);

// The network's verifications, oldest first, as the register lists them.
pdf::Sheet HistorySheet(const records::Network& network, const std::vector<records::Verification>& verifications);

}  // namespace quillet::recordpdf
