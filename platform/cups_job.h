#pragma once
#include <string>
#include <utility>
#include <vector>

namespace platform {

// What a job asks of the print server besides its pages, as IPP option names and values
// ("copies", "sides", "media", ...).
using TJobOptions = std::vector<std::pair<std::string, std::string>>;

// Why a job for this destination would not be accepted now: it does not exist, refuses
// jobs, or its server cannot be reached. Empty when it can take one; a paused printer can.
std::string DestinationProblem(const std::string& destination);

// Why no printer at all can be reached: "the print server does not answer" or "no printer is
// set up". Empty when the print server knows of at least one printer.
std::string NoPrinterReason();

// Hands a finished PDF file to the destination as one job. Empty when the server took it,
// else the server's own reason.
std::string SendToDestination(const std::string& destination, const std::string& jobName,
                              const std::string& pdfPath, const TJobOptions& options);

}  // namespace platform
