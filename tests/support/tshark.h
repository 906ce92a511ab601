#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/trace_file.h"
#include "link/command_table.h"

namespace sondrix::test {

// tshark with the project's Wireshark dissector (SONDRIX_DISSECTOR_LUA), for
// tests of what Wireshark makes of the program's traces.
class CTshark {
  public:
    struct SRun {
        int status = -1;
        std::string out;
        std::string err;
    };

    static bool Installed() { return std::system("tshark --version >/dev/null 2>&1") == 0; }
    // Empty when tshark runs the dissector; else why it does not.
    static const std::string& DissectorProblem() {
        static const std::string reason = Probe();
        return reason;
    }

    static SRun Run(const std::vector<std::string>& args) {
        std::string command = Prefix() + "tshark -X lua_script:" + Quote(SONDRIX_DISSECTOR_LUA);
        for (const std::string& arg : args) {
            command += " " + Quote(arg);
        }
        char errPath[] = "/tmp/sondrix-tshark-XXXXXX";
        const int errFd = mkstemp(errPath);
        close(errFd);
        SRun run;
        if (FILE* pipe = popen((command + " 2>" + errPath).c_str(), "r")) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
                run.out.append(buffer, n);
            }
            const int status = pclose(pipe);
            run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::ifstream err(errPath);
        run.err.assign(std::istreambuf_iterator<char>(err), {});
        unlink(errPath);
        return run;
    }

    // One row per frame of `trace`, the given fields in order; `options`
    // go to tshark ahead of them.
    static std::vector<std::vector<std::string>> Fields(const std::string& trace,
                                                        const std::vector<std::string>& fields,
                                                        SRun& run,
                                                        std::vector<std::string> options = {}) {
        std::vector<std::string> args = {"-r", trace,          "-T", "fields",
                                         "-E", "separator=/t", "-E", "occurrence=a"};
        args.insert(args.begin(), options.begin(), options.end());
        for (const std::string& field : fields) {
            args.push_back("-e");
            args.push_back(field);
        }
        run = Run(args);
        std::vector<std::vector<std::string>> rows;
        std::stringstream lines(run.out);
        for (std::string line; std::getline(lines, line);) {
            std::vector<std::string> cells;
            size_t from = 0;
            for (size_t tab; (tab = line.find('\t', from)) != std::string::npos; from = tab + 1) {
                cells.push_back(line.substr(from, tab - from));
            }
            cells.push_back(line.substr(from));
            rows.push_back(std::move(cells));
        }
        return rows;
    }

  private:
    static std::string Quote(const std::string& text) {
        std::string quoted = "'";
        for (const char c : text) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        return quoted + "'";
    }

    static std::string& Prefix() {
        static std::string prefix;
        return prefix;
    }

    // Wireshark may refuse Lua scripts to the superuser (init.lua's
    // run_user_scripts_when_superuser, false on some systems; Debian allows
    // them). Then tshark runs as "nobody", as the documentation advises.
    static std::string Probe() {
        char folder[] = "/tmp/sondrix-probe-XXXXXX";
        if (mkdtemp(folder) == nullptr) {
            return "cannot create a temporary folder";
        }
        const std::string path = std::string(folder) + "/probe.pcapng";
        CTraceWriter writer(CTraceWriter::EFormat::Pcapng, "probe");
        std::string error;
        CPacket packet;
        packet.command = CMD_GET_STATUS;
        writer.Open(path, error);
        writer.Write({1700000000000000, 0, packet.Encode()});
        writer.Close(error);
        chmod(folder, 0755);
        std::string reason;
        const auto dissected = [&] {
            return Run({"-r", path, "-T", "fields", "-e", "hlx.command"}).out == "0x00000062\n";
        };
        if (!dissected()) {
            Prefix() = geteuid() == 0 ? "setpriv --reuid=nobody --regid=nogroup --clear-groups "
                                      : std::string();
            if (Prefix().empty() || !dissected()) {
                reason = "tshark runs, but not the dissector " SONDRIX_DISSECTOR_LUA;
            }
        }
        unlink(path.c_str());
        rmdir(folder);
        return reason;
    }
};

// tshark is a test dependency (tools/deps.sh): only its absence skips a test;
// a dissector that does not load fails it.
#define REQUIRE_TSHARK()                                                           \
    do {                                                                           \
        if (!::sondrix::test::CTshark::Installed()) {                              \
            GTEST_SKIP() << "tshark is not installed (tools/deps.sh installs it)"; \
        }                                                                          \
        ASSERT_EQ(::sondrix::test::CTshark::DissectorProblem(), "");               \
    } while (false)

}  // namespace sondrix::test
