// velm_log_window <title>: one logger window, fed through standard input (see
// LogWindowProgram.h). Started by ProcessLogWindowHost.

#include <iostream>
#include <string>
#include <thread>
#include <vector>

#include "engine/logwindow/LogWindowProgram.h"

int main(int argc, char** argv) {
    const std::string title = argc > 1 ? argv[1] : "Shared log window";
    Velm::LogWindowInput input;
    std::thread reader([&input] {
        std::string command;
        while (std::getline(std::cin, command)) input.Push(command);
        input.Close();
    });
    if (!Velm::RunLogWindow(title, input)) {
        // No window: the input is read to its end all the same, so that the feeding side
        // never waits on a full pipe.
        std::vector<std::string> ignored;
        while (input.Take(&ignored, 1000)) {
        }
    }
    reader.join();
    return 0;
}
