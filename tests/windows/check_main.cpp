#include "check.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace check {
namespace {

struct Entry {
    const char* group;
    const char* name;
    Case body;
};

std::vector<Entry>& entries() {
    static std::vector<Entry> all;
    return all;
}

int failures = 0;

} // namespace

Registration::Registration(const char* group, const char* name, Case body) {
    entries().push_back({group, name, body});
}

void fail(const char* file, int line, const std::string& what) {
    ++failures;
    std::printf("  %s:%d: failed: %s\n", file, line, what.c_str());
}

} // namespace check

// Runs every case of the groups named; each case passes with no failed check.
int main(int argc, char** argv) {
    int passed = 0, failed = 0;
    for (const check::Entry& entry : check::entries()) {
        bool wanted = false;
        for (int i = 1; i < argc; ++i)
            wanted = wanted || std::strcmp(argv[i], entry.group) == 0;
        if (!wanted) continue;
        const int before = check::failures;
        try {
            entry.body();
        } catch (const check::Abort&) {
        }
        const bool ok = check::failures == before;
        std::printf("%s %s.%s\n", ok ? "[ OK ]" : "[FAIL]", entry.group, entry.name);
        std::fflush(stdout);
        (ok ? passed : failed)++;
    }
    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 && passed > 0 ? 0 : 1;
}
