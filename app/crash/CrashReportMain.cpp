// The crash report program: the crashed process starts it and hands it the report on
// standard input, and it runs the report windows and the upload.

#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>

#include "app/crash/CrashCatcher.h"
#include "app/crash/CrashReportDialog.h"
#include "app/http/HTTPTransfer.h"

int main() {
    // A fault in here must not start yet another report program.
    Velm::CrashCatcher::Uninstall();
    std::string input((std::istreambuf_iterator<char>(std::cin)), std::istreambuf_iterator<char>());
    Velm::CrashReportData data;
    if (!Velm::DecodeCrashReportData(input, &data)) {
        std::fprintf(stderr, "velm_crash_report: the crash report could not be read.\n");
        return 1;
    }
    Velm::HTTPTransfer transfer;
    Velm::RunCrashReportDialog(data, transfer);
    return 0;
}
