#include "app/crash/CrashCatcher.h"

#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "app/crash/CrashHost.h"
#include "app/crash/CrashReportDialog.h"
#include "platform/ChildProcess.h"
#include "platform/FaultHandler.h"
#include "platform/Files.h"
#include "platform/Folders.h"
#include "resources/base/Paths.h"
#include "resources/base/StringUtils.h"

namespace Velm {

std::string CrashCatcher::SubmitHost;
std::string CrashCatcher::ReportText;
std::string CrashCatcher::ReportTitle;
std::string CrashCatcher::AttachmentFile;
bool CrashCatcher::Attach = false;

namespace {

std::atomic<CrashHost*> gCrashHost{nullptr};
std::atomic<bool> gReportWindowEnabled{true};

struct ExceptionName {
    uint32_t code;
    const char* name;
};

// Searched in order; 0xFFFFFFFF ends it. The last two rows are this platform's own:
// abort and a C++ exception that nothing caught.
const ExceptionName kExceptionNames[] = {
        {0x40000005, "Segment Notification"},
        {0x80000003, "Breakpoint"},
        {0x80000004, "Single step"},
        {0x00000000, "Wait 0"},
        {0x00000080, "Abandoned Wait 0"},
        {0x000000C0, "User APC"},
        {0x00000102, "Timeout"},
        {0x00000103, "Pending"},
        {0x80000001, "Guard Page Violation"},
        {0x80000002, "Data Type Misalignment"},
        {0xC0000005, "Access Violation"},
        {0xC0000006, "In Page Error"},
        {0xC0000017, "No Memory"},
        {0xC000001D, "Illegal Instruction"},
        {0xC0000025, "Noncontinuable Exception"},
        {0xC0000026, "Invalid Disposition"},
        {0xC000008C, "Array Bounds Exceeded"},
        {0xC000008D, "Float Denormal Operand"},
        {0xC000008E, "Divide by Zero"},
        {0xC000008F, "Float Inexact Result"},
        {0xC0000090, "Float Invalid Operation"},
        {0xC0000091, "Float Overflow"},
        {0xC0000092, "Float Stack Check"},
        {0xC0000093, "Float Underflow"},
        {0xC0000094, "Integer Divide by Zero"},
        {0xC0000095, "Integer Overflow"},
        {0xC0000096, "Privileged Instruction"},
        {0xC00000FD, "Stack Overflow"},
        {0xC000013A, "Ctrl+C Exit"},
        {0x40000015, "Abort"},
        {0xE06D7363, "C++ Exception"},
        {0xFFFFFFFF, nullptr},
};

void OnFault(const plat::FaultInfo& fault) {
    CrashHost* host = gCrashHost.load();
    if (host) host->PrepareForCrashReport();
    CrashCatcher::HandleException(fault);
}

// Installed before the program's entry runs, removed at static shutdown.
struct AutoInstall {
    AutoInstall() { CrashCatcher::Install(); }
    ~AutoInstall() { CrashCatcher::Uninstall(); }
} gAutoInstall;

bool ParseDecimalField(const std::string& text, int* value) {
    const std::string trimmed = TrimString(text);
    if (trimmed.empty() || trimmed.size() > 9) return false;
    int result = 0;
    for (char c : trimmed) {
        if (c < '0' || c > '9') return false;
        result = result * 10 + (c - '0');
    }
    *value = result;
    return true;
}

typedef std::pair<uint32_t, uint32_t> MapKey;

// The entry at or below `key` in the same segment; null when there is none, and also
// when `key` lies past the last entry of the whole table (the end of the last
// function is not known).
template <typename Value>
const std::pair<const MapKey, Value>* EntryAtOrBelow(const std::map<MapKey, Value>& table, const MapKey& key) {
    typename std::map<MapKey, Value>::const_iterator it = table.lower_bound(key);
    if (it == table.end()) return nullptr;
    if (it->first != key) {
        if (it == table.begin()) return nullptr;
        --it;
    }
    if (it->first.first != key.first) return nullptr;
    return &*it;
}

}  // namespace

bool HexStringToInt(const std::string& text, uint32_t* value) {
    uint32_t result = 0;
    for (char c : text) {
        uint32_t digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else
            return false;
        result = result * 16 + digit;
    }
    *value = result;
    return true;
}

void CrashCatcher::Install() { plat::InstallFaultHandler(OnFault); }

void CrashCatcher::Uninstall() { plat::UninstallFaultHandler(); }

void CrashCatcher::SetHost(CrashHost* host) { gCrashHost.store(host); }

CrashHost* CrashCatcher::GetHost() { return gCrashHost.load(); }

void CrashCatcher::SetReportWindowEnabled(bool enabled) { gReportWindowEnabled.store(enabled); }

uint32_t CrashCatcher::ExceptionCodeOf(const plat::FaultInfo& fault) {
    switch (fault.kind) {
        case plat::FaultKind::AccessViolation: return 0xC0000005;
        case plat::FaultKind::StackOverflow: return 0xC00000FD;
        case plat::FaultKind::InPageError: return 0xC0000006;
        case plat::FaultKind::Misalignment: return 0x80000002;
        case plat::FaultKind::IllegalInstruction: return 0xC000001D;
        case plat::FaultKind::PrivilegedInstruction: return 0xC0000096;
        case plat::FaultKind::IntegerDivideByZero: return 0xC0000094;
        case plat::FaultKind::IntegerOverflow: return 0xC0000095;
        case plat::FaultKind::FloatDivideByZero: return 0xC000008E;
        case plat::FaultKind::FloatOverflow: return 0xC0000091;
        case plat::FaultKind::FloatUnderflow: return 0xC0000093;
        case plat::FaultKind::FloatInexact: return 0xC000008F;
        case plat::FaultKind::FloatInvalid: return 0xC0000090;
        case plat::FaultKind::FloatSubscript: return 0xC000008C;
        case plat::FaultKind::Breakpoint: return 0x80000003;
        case plat::FaultKind::SingleStep: return 0x80000004;
        case plat::FaultKind::Abort: return 0x40000015;
        case plat::FaultKind::UncaughtException: return 0xE06D7363;
        case plat::FaultKind::Other: break;
    }
    // Not in the table: the signal number under a prefix of our own.
    return 0xE0000000u | static_cast<uint32_t>(fault.signal & 0xFF);
}

bool CrashCatcher::GetExceptionName(uint32_t code, std::string* name) {
    for (const ExceptionName* entry = kExceptionNames; entry->code != 0xFFFFFFFF; ++entry) {
        if (entry->code == code) {
            *name = entry->name;
            return true;
        }
    }
    return false;
}

bool CrashCatcher::GetLogicalAddress(uintptr_t address, std::string* module, uint32_t* section, uint32_t* offset) {
    plat::CodeLocation location;
    module->clear();
    *section = 0;
    *offset = 0;
    if (!plat::LookupCodeAddress(address, &location)) return false;
    *module = GetFileNamePart(location.modulePath);
    *section = location.segment;
    *offset = location.offset;
    return true;
}

std::string CrashCatcher::StackWalk(const uintptr_t* frames, int count) {
    std::vector<plat::CodeLocation> locations(static_cast<size_t>(count > 0 ? count : 0));
    std::vector<bool> found(locations.size());
    for (int i = 0; i < count; ++i) {
        const uintptr_t pc = frames[i];
        // A return address points after its call, which may be the first byte of the
        // next function: look up the call itself.
        const uintptr_t lookup = (i > 0 && pc > 0) ? pc - 1 : pc;
        found[static_cast<size_t>(i)] = plat::LookupCodeAddress(lookup, &locations[static_cast<size_t>(i)]);
    }
    // Source lines, asked of each file once for all of its frames.
    std::vector<std::string> sources(locations.size());
    std::map<std::string, std::vector<size_t>> framesOfModule;
    for (size_t i = 0; i < locations.size(); ++i) {
        if (found[i]) framesOfModule[locations[i].modulePath].push_back(i);
    }
    for (const auto& entry : framesOfModule) {
        std::vector<uintptr_t> addresses;
        for (size_t i : entry.second) addresses.push_back(locations[i].fileAddress);
        const std::vector<std::string> lines = plat::SourceLinesOf(entry.first, addresses);
        for (size_t k = 0; k < entry.second.size() && k < lines.size(); ++k) sources[entry.second[k]] = lines[k];
    }

    std::string text;
    for (int i = 0; i < count; ++i) {
        const uintptr_t pc = frames[i];
        const plat::CodeLocation& location = locations[static_cast<size_t>(i)];
        const bool known = found[static_cast<size_t>(i)];
        if (known && !location.symbol.empty()) {
            text += FormatString("%016" PRIX64 " %s+%X", static_cast<uint64_t>(pc),
                                 plat::DemangleSymbol(location.symbol).c_str(),
                                 static_cast<unsigned>(pc - location.symbolAddress));
        } else {
            text += FormatString("%016" PRIX64 " %04X:%08X %s", static_cast<uint64_t>(pc),
                                 known ? location.segment : 0u, known ? location.offset : 0u,
                                 GetFileNamePart(location.modulePath).c_str());
        }
        const std::string& source = sources[static_cast<size_t>(i)];
        if (!source.empty()) text += " at " + source;
        text += "\r\n";
    }
    return text;
}

std::string CrashCatcher::GetSystemInfoText() {
    std::string text = "System Ver: " + plat::SystemVersionText() + "\r\n";
    text += "C Library Ver: " + plat::CLibraryVersionText() + "\r\n";
    text += "SDL Ver: " + plat::SdlVersionText() + "\r\n";
    text += "GL Renderer: " + plat::GraphicsRendererText() + "\r\n";
    text += std::string("Build: ") + VELM_BUILD_COMMIT + "\r\n";
    return text;
}

std::string CrashCatcher::BuildReport(const plat::FaultInfo& fault, std::string* title) {
    std::string report;
    const uint32_t code = ExceptionCodeOf(fault);
    std::string name;
    if (GetExceptionName(code, &name)) {
        report += FormatString("Exception: %s (code 0x%x) at address %08" PRIX64 " in thread %X\r\n", name.c_str(),
                               code, static_cast<uint64_t>(fault.programCounter), fault.threadId);
    } else {
        report += FormatString("Unknown exception: (code 0x%x) at address %08" PRIX64 " in thread %X\r\n", code,
                               static_cast<uint64_t>(fault.programCounter), fault.threadId);
    }

    std::string module;
    uint32_t section = 0;
    uint32_t offset = 0;
    GetLogicalAddress(fault.programCounter, &module, &section, &offset);
    report += "Module: " + module + "\r\n";
    report += FormatString("Logical Address: %04X:%08X\r\n", section, offset);
    report += "\r\n";
    if (title) *title = FormatString("Exception at %04X:%08X", section, offset);

    report += StackWalk(fault.frames, fault.frameCount);
    report += "\r\n";

    const plat::FaultRegisters& r = fault.registers;
    report += FormatString("RAX:%016" PRIX64 " RBX:%016" PRIX64 " RCX:%016" PRIX64 " RDX:%016" PRIX64 " RSI:%016" PRIX64
                           " RDI:%016" PRIX64 "\r\n",
                           r.rax, r.rbx, r.rcx, r.rdx, r.rsi, r.rdi);
    report += FormatString("RIP:%016" PRIX64 " RSP:%016" PRIX64 "  RBP:%016" PRIX64 "\r\n", r.rip, r.rsp, r.rbp);
    report += FormatString("CS:%04X SS:%04X DS:%04X ES:%04X FS:%04X GS:%04X\r\n", r.cs, r.ss, r.ds, r.es, r.fs, r.gs);
    report += FormatString("Flags:%08" PRIX64 "\r\n", r.flags);
    report += "\r\n";

    report += GetSystemInfoText();
    return report;
}

void CrashCatcher::HandleException(const plat::FaultInfo& fault) {
    CrashHost* host = gCrashHost.load();
    std::string title;
    std::string report = BuildReport(fault, &title);

    if (host) {
        const std::string programInfo = host->GetProgramInfoText();
        if (!programInfo.empty()) report += "\r\n" + programInfo;
        host->CopyToClipboard(report);
    }

    AddMapFileInfo(report);
    WriteCrashFile(report);

    Attach = false;
    AttachmentFile.clear();
    if (host) {
        Attach = host->SaveDemoForCrash(&AttachmentFile);
        const std::string extraFile = host->GetCrashReportFile();
        if (!extraFile.empty()) {
            AttachmentFile = extraFile;
            Attach = true;
        }
        host->EndDemoForCrash();
    }

    plat::FaultReportWritten();
    ShowErrorWindow(title, report);
}

void CrashCatcher::AddMapFileInfo(std::string& report) {
    std::vector<plat::DirEntry> entries;
    if (!plat::ListDirectory(plat::CurrentDirectory(), entries)) return;
    for (const plat::DirEntry& entry : entries) {
        const std::string& name = entry.name;
        if (entry.isDirectory || name.size() < 4 || StringToLower(name.substr(name.size() - 4)) != ".map") continue;
        std::vector<uint8_t> bytes;
        if (!plat::ReadFile(name, bytes)) return;
        AddMapFileInfo(report, std::string(bytes.begin(), bytes.end()));
        return;
    }
}

void CrashCatcher::AddMapFileInfo(std::string& report, const std::string& mapText) {
    std::map<MapKey, std::string> symbols;
    std::map<MapKey, std::pair<std::string, int>> lines;
    std::string sourceFile;
    bool haveSourceFile = false;

    size_t lineStart = 0;
    while (lineStart < mapText.size()) {
        size_t lineEnd = mapText.find('\n', lineStart);
        if (lineEnd == std::string::npos) lineEnd = mapText.size();
        std::string line = mapText.substr(lineStart, lineEnd - lineStart);
        lineStart = lineEnd + 1;
        if (!line.empty() && line[line.size() - 1] == '\r') line.erase(line.size() - 1);

        uint32_t section = 0;
        uint32_t offset = 0;
        if (line.size() > 22 && line[5] == ':') {
            // " 0001:00001234       ?Name@@YAXXZ  00401234 f   file.obj"
            if (HexStringToInt(line.substr(1, 4), &section) && HexStringToInt(line.substr(6, 8), &offset) &&
                line[20] == ' ') {
                const size_t blank = line.find(' ', 21);
                if (blank != std::string::npos) symbols[MapKey(section, offset)] = line.substr(21, blank - 21);
            }
        } else if (line.compare(0, 12, "Line numbers") == 0) {
            const size_t open = line.find('(');
            if (open != std::string::npos) {
                const size_t close = line.rfind(')');
                const size_t end = (close == std::string::npos || close < open) ? line.size() : close;
                sourceFile = line.substr(open + 1, end - open - 1);
                haveSourceFile = true;
            }
        } else if (haveSourceFile && line.size() == 80) {
            // Four entries of 20 characters: "   123 0001:00001234".
            for (size_t at = 0; at < 80; at += 20) {
                const std::string entry = line.substr(at, 20);
                int number = 0;
                if (ParseDecimalField(entry.substr(0, 6), &number) && HexStringToInt(entry.substr(7, 4), &section) &&
                    HexStringToInt(entry.substr(12, 8), &offset))
                    lines[MapKey(section, offset)] = std::make_pair(sourceFile, number);
            }
        }
    }
    if (symbols.empty()) return;

    size_t pos = 0;
    while ((pos = report.find(':', pos)) != std::string::npos) {
        uint32_t section = 0;
        uint32_t offset = 0;
        if (pos < 4 || pos + 9 > report.size() || !HexStringToInt(report.substr(pos - 4, 4), &section) ||
            !HexStringToInt(report.substr(pos + 1, 8), &offset)) {
            ++pos;
            continue;
        }
        const MapKey key(section, offset);
        const std::pair<const MapKey, std::string>* symbol = EntryAtOrBelow(symbols, key);
        if (!symbol) {
            ++pos;
            continue;
        }
        std::string text = plat::DemangleSymbol(symbol->second);
        const uint32_t distance = offset - symbol->first.second;
        if (distance != 0) text += FormatString("+0x%X", distance);
        const std::pair<const MapKey, std::pair<std::string, int>>* line = EntryAtOrBelow(lines, key);
        if (line) {
            text += FormatString("\r\n    %s line %d +0x%X", line->second.first.c_str(), line->second.second,
                                 offset - line->first.second);
        }
        const size_t start = pos - 4;
        report.replace(start, 13, text);
        pos = start + 1;
    }
}

std::string CrashCatcher::CrashFileFolder() {
    CrashHost* host = gCrashHost.load();
    if (host) {
        const std::string folder = plat::AppDataFolder(host->GetCompanyFolderName(), host->GetProductName());
        // The folder and the ones above it, as the program would make them for its saves.
        for (size_t slash = folder.find('/', 1); slash != std::string::npos; slash = folder.find('/', slash + 1))
            plat::MakeDirectory(folder.substr(0, slash));
        if (!folder.empty() && plat::IsDirectory(folder)) return folder;
    }
    const char* temp = std::getenv("TMPDIR");
    return temp != nullptr && temp[0] == '/' ? std::string(temp) + "/" : std::string("/tmp/");
}

bool CrashCatcher::WriteCrashFile(const std::string& report) {
    const std::string text = report + "\r\n";
    return plat::WriteFileAtomic(CrashFileFolder() + "crash.txt", text.data(), text.size());
}

std::string CrashCatcher::ReportProgramPath() {
    const std::string nextToProgram = plat::ExecutableFolder() + "velm_crash_report";
    if (plat::IsExecutableFile(nextToProgram)) return nextToProgram;
#ifdef VELM_CRASH_REPORT_PROGRAM
    if (plat::IsExecutableFile(VELM_CRASH_REPORT_PROGRAM)) return VELM_CRASH_REPORT_PROGRAM;
#endif
    return std::string();
}

void CrashCatcher::ShowErrorWindow(const std::string& title, const std::string& report) {
    ReportTitle = title;
    ReportText = report;

    CrashReportData data;
    data.title = title;
    data.report = report;
    data.submitHost = SubmitHost;
    data.attachmentFile = AttachmentFile;
    data.attach = Attach;
    CrashHost* host = gCrashHost.load();
    data.appPresent = host != nullptr;
    if (host) {
        data.productName = host->GetProductName();
        data.productVersion = host->GetProductVersion();
        host->AddCrashReportFields(data.extraFields);
    }

    if (gReportWindowEnabled.load()) {
        const std::string program = ReportProgramPath();
        if (!program.empty() && plat::RunChildProcess(program, {}, EncodeCrashReportData(data)) == 0) return;
    }
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), report.c_str());
    std::fflush(stderr);
}

}  // namespace Velm
