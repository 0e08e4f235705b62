// A private D-Bus session bus for the tests (dbus-daemon with its own
// socket), started once per test program and stopped at its exit;
// DBUS_SESSION_BUS_ADDRESS points at it, so the sound server's session
// manager, the media players and the program under test meet there and
// nowhere else. Any user may connect: as root, players run as nobody.
//
//   ASSERT_TRUE(startSessionBus(error)) << error;
#pragma once

#include <string>

bool startSessionBus(std::string& error);
