// quorbreport: coverage reports from FDC files and results files.
#include "report/run_report.h"

#include <QCoreApplication>

#include <cstdlib>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  QStringList arguments = QCoreApplication::arguments();
  arguments.removeFirst();
  const char* term = std::getenv("TERM");
  const bool colour = ::isatty(STDOUT_FILENO) && !std::getenv("NO_COLOR") && term && std::string(term) != "dumb";
  return report::RunReport(arguments, {std::cout, std::cerr, colour});
}
