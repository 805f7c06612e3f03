#include "platform/cups_job.h"

#include <cstring>

#include <cups/cups.h>

namespace platform {

namespace {

// CUPS's reason for the last failure, without the full stop our message adds itself.
std::string LastReason() {
  std::string reason = cupsLastErrorString() ? cupsLastErrorString() : "";
  while (!reason.empty() && (reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
  if (reason.empty()) reason = "The print server gave no reason";
  return reason;
}

// Whether the print server takes a connection at all.
bool ServerAnswers() {
  http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                              5000, nullptr);
  if (!http) return false;
  httpClose(http);
  return true;
}

}  // namespace

std::string NoPrinterReason() {
  cups_dest_t* dests = nullptr;
  const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
  cupsFreeDests(count, dests);
  if (count > 0) return {};
  return ServerAnswers() ? "no printer is set up" : "the print server does not answer";
}

std::string DestinationProblem(const std::string& destination) {
  if (destination.empty()) return "No printer is set up";
  cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, destination.c_str(), nullptr);
  if (!dest) {
    // Not found also when the server is down: ask the server itself whether it answers.
    if (!ServerAnswers()) return "The print server cannot be reached";
    return "The printer \"" + destination + "\" does not exist";
  }
  const char* accepting =
      cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
  std::string problem;
  if (accepting && std::strcmp(accepting, "false") == 0)
    problem = "The printer \"" + destination + "\" is not accepting jobs";
  cupsFreeDests(1, dest);
  return problem;
}

std::string SendToDestination(const std::string& destination, const std::string& jobName,
                              const std::string& pdfPath, const TJobOptions& options) {
  int count = 0;
  cups_option_t* cupsOptions = nullptr;
  for (const auto& [name, value] : options)
    count = cupsAddOption(name.c_str(), value.c_str(), count, &cupsOptions);
  const int job = cupsPrintFile2(CUPS_HTTP_DEFAULT, destination.c_str(), pdfPath.c_str(),
                                 jobName.c_str(), count, cupsOptions);
  cupsFreeOptions(count, cupsOptions);
  return job > 0 ? std::string() : LastReason();
}

}  // namespace platform
