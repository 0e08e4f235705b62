// A small checking harness for the test programs that run under Wine, where
// no gtest is built: ZD_TEST registers a case in a group, ZD_CHECK and
// ZD_CHECK_EQ record failures and go on, ZD_REQUIRE ends the case.
// The program runs the groups named on its command line.
#pragma once

#include <sstream>
#include <string>

namespace check {

using Case = void (*)();
struct Registration {
    Registration(const char* group, const char* name, Case body);
};
struct Abort {};

void fail(const char* file, int line, const std::string& what);

template <typename A, typename B>
std::string describe(const char* expression, const A& a, const B& b) {
    std::ostringstream out;
    out << expression << ": " << +a << " vs " << +b;
    return out.str();
}

} // namespace check

#define ZD_TEST(group, name)                                                                       \
    static void group##_##name();                                                                  \
    static check::Registration group##_##name##_registration(#group, #name, group##_##name);       \
    static void group##_##name()

#define ZD_CHECK(condition)                                                                        \
    do {                                                                                           \
        if (!(condition)) check::fail(__FILE__, __LINE__, #condition);                             \
    } while (0)

#define ZD_CHECK_EQ(a, b)                                                                          \
    do {                                                                                           \
        const auto& zdA = (a);                                                                     \
        const auto& zdB = (b);                                                                     \
        if (!(zdA == zdB))                                                                         \
            check::fail(__FILE__, __LINE__, check::describe(#a " == " #b, zdA, zdB));              \
    } while (0)

#define ZD_REQUIRE(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            check::fail(__FILE__, __LINE__, #condition);                                           \
            throw check::Abort{};                                                                  \
        }                                                                                          \
    } while (0)
