#pragma once

#include <cstdint>
#include <string>

namespace plat {
struct FaultInfo;
}

namespace Velm {

class CrashHost;

// Parses hexadecimal text: every character must be 0-9, A-F or a-f; the value is built
// most significant digit first (wrapping at 32 bits); empty text gives 0 and true.
bool HexStringToInt(const std::string& text, uint32_t* value);

// Turns a fault that nothing else handles (a memory, arithmetic or instruction fault, a
// trap, abort, or an uncaught C++ exception) into a plain-text crash report: the
// exception, the module and logical address, the call stack, the registers, the system
// and the application's own facts. The report goes to the clipboard (through the
// application), to "crash.txt" in the player's data folder (CrashFileFolder) and to the
// report windows, which run in a process of their own (CrashReportDialog). Then the process ends with the fault's own signal.
//
// All state is process-wide. Installed during static initialisation; it needs no
// application object but uses the one registered with SetHost. Runs on the faulting
// thread, on its alternate signal stack.
//
// The report reads, line by line: "Exception: <name> (code 0x<code>) at address <pc> in
// thread <id>"; "Module: <file>"; "Logical Address: <segment>:<offset>"; an empty line;
// the stack, one frame a line; an empty line; four register lines; an empty line; the
// system lines; and, with an application, an empty line and the program lines. Lines end
// in "\r\n".
class CrashCatcher {
public:
    static void Install();
    static void Uninstall();

    // The application's side of a report; the application sets it when constructed and
    // clears it first thing when destroyed.
    static void SetHost(CrashHost* host);
    static CrashHost* GetHost();

    // Builds, stores, saves and shows the report of a fault.
    static void HandleException(const plat::FaultInfo& fault);
    // The report alone (no clipboard, no file, no window).
    static std::string BuildReport(const plat::FaultInfo& fault, std::string* title);

    // The exception code and the table's name for a fault; false (no name) for a code
    // the table lacks.
    static uint32_t ExceptionCodeOf(const plat::FaultInfo& fault);
    static bool GetExceptionName(uint32_t code, std::string* name);

    // The loaded file that holds `address` (file name without its folder) and the
    // logical address in it: segment number from 1 and offset. False when the address
    // lies in no loaded file (module empty, segment and offset 0).
    static bool GetLogicalAddress(uintptr_t address, std::string* module, uint32_t* section, uint32_t* offset);
    // One line a frame: "<pc> <function>+<distance>", or "<pc> <segment>:<offset>
    // <module>" for code without a symbol. frames[0] is the faulting instruction, the
    // others return addresses.
    static std::string StackWalk(const uintptr_t* frames, int count);
    static std::string GetSystemInfoText();

    // Replaces every "<4 hex>:<8 hex>" logical address in the report by the symbol (and
    // the source line) that a linker map file "*.map" in the current folder gives for it.
    static void AddMapFileInfo(std::string& report);
    // The same with the map file's text.
    static void AddMapFileInfo(std::string& report, const std::string& mapText);

    // Where "crash.txt" goes: the player's data folder of the registered application (made
    // when missing), else (no application yet, or no such folder) the system's temporary
    // folder; never the current folder, which holds the program's content.
    static std::string CrashFileFolder();
    // Writes "crash.txt" (the report and one end of line) into CrashFileFolder(). False when
    // it could not be written.
    static bool WriteCrashFile(const std::string& report);

    // Shows the report windows (or, without them, the report on stderr); returns when
    // the user is done.
    static void ShowErrorWindow(const std::string& title, const std::string& report);
    // Off: ShowErrorWindow prints the report on stderr only (tests, headless runs).
    static void SetReportWindowEnabled(bool enabled);
    // The program that shows the report windows.
    static std::string ReportProgramPath();

    // The report server's host (an optional ":port" after it); empty, as the program
    // configures none, means sending is never offered.
    static std::string SubmitHost;

    // Kept for the upload after a crash.
    static std::string ReportText;
    static std::string ReportTitle;
    static std::string AttachmentFile;
    static bool Attach;
};

}  // namespace Velm
