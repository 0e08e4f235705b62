// MPRIS through GDBus, on a thread with its own main context. Any signal
// from a player (its properties, its track list) or a player coming or going
// marks the cache stale; the thread then asks again, synchronously, with a
// short timeout and a cancellable that the destructor cancels, so ending
// never waits for a player that does not answer.
#include "session/desktop_player.h"

#include "session/panel_titles.h"

#include <gio/gio.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>

namespace {
const char* const mprisPrefix = "org.mpris.MediaPlayer2.";
const char* const mprisPath = "/org/mpris/MediaPlayer2";
const char* const playerInterface = "org.mpris.MediaPlayer2.Player";
const char* const trackListInterface = "org.mpris.MediaPlayer2.TrackList";
constexpr int callTimeoutMs = 1000;

struct VariantFree {
    void operator()(GVariant* value) const { g_variant_unref(value); }
};
using Variant = std::unique_ptr<GVariant, VariantFree>;

std::string stringOf(GVariant* value) {
    if (value && (g_variant_is_of_type(value, G_VARIANT_TYPE_STRING) ||
                  g_variant_is_of_type(value, G_VARIANT_TYPE_OBJECT_PATH)))
        return g_variant_get_string(value, nullptr);
    return "";
}

std::string lookupString(GVariant* dictionary, const char* key) {
    Variant value(g_variant_lookup_value(dictionary, key, nullptr));
    return stringOf(value.get());
}

// One track's metadata (a{sv}); players differ in giving artists as a list or one string.
TrackInfo trackFrom(GVariant* metadata) {
    TrackInfo track;
    if (!metadata || !g_variant_is_of_type(metadata, G_VARIANT_TYPE_VARDICT)) return track;
    track.id = lookupString(metadata, "mpris:trackid");
    track.title = lookupString(metadata, "xesam:title");
    track.url = lookupString(metadata, "xesam:url");
    Variant artists(g_variant_lookup_value(metadata, "xesam:artist", nullptr));
    if (artists && g_variant_is_of_type(artists.get(), G_VARIANT_TYPE_STRING_ARRAY)) {
        const gchar** list = g_variant_get_strv(artists.get(), nullptr);
        for (const gchar** artist = list; *artist; ++artist)
            track.artists.push_back(*artist);
        g_free(list);
    } else if (!stringOf(artists.get()).empty()) {
        track.artists.push_back(stringOf(artists.get()));
    }
    return track;
}

// The session bus of the desktop, or empty. No session bus is no reason to
// start one, as GLib would (dbus-launch) for an address it cannot find.
std::string sessionBusAddress() {
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (address && *address) return g_str_has_prefix(address, "autolaunch:") ? "" : address;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::string socket = runtime ? std::string(runtime) + "/bus" : "";
    return runtime && g_file_test(socket.c_str(), G_FILE_TEST_EXISTS) ? "unix:path=" + socket : "";
}

GDBusConnection* connectSessionBus(GCancellable* cancel) {
    std::string address = sessionBusAddress();
    if (address.empty()) return nullptr;
    return g_dbus_connection_new_for_address_sync(
        address.c_str(),
        GDBusConnectionFlags(G_DBUS_CONNECTION_FLAGS_AUTHENTICATION_CLIENT |
                             G_DBUS_CONNECTION_FLAGS_MESSAGE_BUS_CONNECTION),
        nullptr, cancel, nullptr);
}
} // namespace

struct DesktopPlayer::Bus {
    explicit Bus(const std::string& wanted) : wanted(wanted) {}

    void run();
    void reload();
    void pickPlayer();
    PlayerTracks readTracks();
    void carryOutPicks();
    Variant call(const std::string& destination, const char* interface, const char* method,
                 GVariant* arguments, const char* replyType);
    Variant property(const std::string& destination, const char* interface, const char* name);
    static void onSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                         GVariant*, gpointer user);

    const std::string wanted;
    GMainContext* context = g_main_context_new();
    GCancellable* cancel = g_cancellable_new();
    std::atomic<bool> stopping{false};

    std::mutex mutex; // what the frames' thread reads and asks
    PlayerTracks tracks;
    bool fresh = false;
    std::vector<int> picks;

    // The bus thread's own.
    GDBusConnection* connection = nullptr;
    // A player: its connection to the bus, which calls go to, and its name.
    struct Player {
        std::string owner;
        std::string name; // after org.mpris.MediaPlayer2.
    };
    std::vector<Player> listPlayers();
    Player chosen;
    std::vector<std::string> trackIds;
    bool stale = true;
    std::thread thread;
};

DesktopPlayer::DesktopPlayer(const std::string& wanted) : bus_(std::make_unique<Bus>(wanted)) {
    bus_->thread = std::thread([bus = bus_.get()] { bus->run(); });
}

DesktopPlayer::~DesktopPlayer() {
    bus_->stopping = true;
    g_cancellable_cancel(bus_->cancel);
    g_main_context_wakeup(bus_->context);
    bus_->thread.join();
    g_object_unref(bus_->cancel);
    g_main_context_unref(bus_->context);
}

bool DesktopPlayer::changed(PlayerTracks& tracks) {
    std::lock_guard<std::mutex> lock(bus_->mutex);
    if (!bus_->fresh) return false;
    bus_->fresh = false;
    tracks = bus_->tracks;
    return true;
}

void DesktopPlayer::goTo(int index) {
    {
        std::lock_guard<std::mutex> lock(bus_->mutex);
        bus_->picks.push_back(index);
    }
    g_main_context_wakeup(bus_->context);
}

void DesktopPlayer::Bus::run() {
    g_main_context_push_thread_default(context);
    connection = connectSessionBus(cancel);
    if (connection) {
        guint owners = g_dbus_connection_signal_subscribe(
            connection, "org.freedesktop.DBus", "org.freedesktop.DBus", "NameOwnerChanged",
            "/org/freedesktop/DBus", "org.mpris.MediaPlayer2",
            G_DBUS_SIGNAL_FLAGS_MATCH_ARG0_NAMESPACE, onSignal, this, nullptr);
        guint players = g_dbus_connection_signal_subscribe(
            connection, nullptr, nullptr, nullptr, mprisPath, nullptr, G_DBUS_SIGNAL_FLAGS_NONE,
            onSignal, this, nullptr);
        while (!stopping) {
            if (stale) reload();
            carryOutPicks();
            if (!stopping) g_main_context_iteration(context, TRUE);
            while (g_main_context_iteration(context, FALSE)) {
            }
        }
        g_dbus_connection_signal_unsubscribe(connection, owners);
        g_dbus_connection_signal_unsubscribe(connection, players);
        g_dbus_connection_close_sync(connection, nullptr, nullptr);
        g_object_unref(connection);
    }
    g_main_context_pop_thread_default(context);
}

void DesktopPlayer::Bus::onSignal(GDBusConnection*, const gchar*, const gchar*, const gchar*,
                                  const gchar*, GVariant*, gpointer user) {
    static_cast<Bus*>(user)->stale = true;
}

Variant DesktopPlayer::Bus::call(const std::string& destination, const char* interface,
                                 const char* method, GVariant* arguments, const char* replyType) {
    return Variant(g_dbus_connection_call_sync(
        connection, destination.c_str(),
        destination == "org.freedesktop.DBus" ? "/org/freedesktop/DBus" : mprisPath, interface,
        method, arguments, replyType ? G_VARIANT_TYPE(replyType) : nullptr,
        G_DBUS_CALL_FLAGS_NO_AUTO_START, callTimeoutMs, cancel, nullptr));
}

// The property's value itself, unwrapped from its variant; null when the player gave none.
Variant DesktopPlayer::Bus::property(const std::string& destination, const char* interface,
                                     const char* name) {
    Variant reply = call(destination, "org.freedesktop.DBus.Properties", "Get",
                         g_variant_new("(ss)", interface, name), "(v)");
    if (!reply) return nullptr;
    GVariant* value = nullptr;
    g_variant_get(reply.get(), "(v)", &value);
    return Variant(value);
}

void DesktopPlayer::Bus::reload() {
    stale = false;
    pickPlayer();
    PlayerTracks read = chosen.owner.empty() ? PlayerTracks{} : readTracks();
    std::lock_guard<std::mutex> lock(mutex);
    if (read == tracks) return;
    tracks = read;
    fresh = true;
}

// The MPRIS players on the bus, the wanted ones only, one for each
// connection: a player under two names (vlc and vlc.instance1234) by its
// shortest.
std::vector<DesktopPlayer::Bus::Player> DesktopPlayer::Bus::listPlayers() {
    Variant reply =
        call("org.freedesktop.DBus", "org.freedesktop.DBus", "ListNames", nullptr, "(as)");
    std::vector<std::string> names;
    GVariantIter* iterator = nullptr;
    const gchar* name = nullptr;
    if (reply) g_variant_get(reply.get(), "(as)", &iterator);
    while (iterator && g_variant_iter_next(iterator, "&s", &name)) {
        std::string suffix = name;
        if (suffix.rfind(mprisPrefix, 0) != 0) continue;
        suffix.erase(0, std::string(mprisPrefix).size());
        if (wanted.empty() || suffix == wanted || suffix.rfind(wanted + ".", 0) == 0)
            names.push_back(name);
    }
    if (iterator) g_variant_iter_free(iterator);
    std::sort(names.begin(), names.end());
    std::vector<Player> players;
    for (const std::string& candidate : names) {
        Variant owner = call("org.freedesktop.DBus", "org.freedesktop.DBus", "GetNameOwner",
                             g_variant_new("(s)", candidate.c_str()), "(s)");
        const gchar* unique = nullptr;
        if (owner) g_variant_get(owner.get(), "(&s)", &unique);
        auto same = [&](const Player& player) { return player.owner == unique; };
        if (unique && std::none_of(players.begin(), players.end(), same))
            players.push_back({unique, candidate.substr(std::string(mprisPrefix).size())});
    }
    return players;
}

// The one chosen before while it plays, else the first that plays, else the
// one chosen before, else the first.
void DesktopPlayer::Bus::pickPlayer() {
    std::vector<Player> players = listPlayers();
    auto plays = [&](const Player& player) {
        Variant status = property(player.owner, playerInterface, "PlaybackStatus");
        return stringOf(status.get()) == "Playing";
    };
    auto before = std::find_if(players.begin(), players.end(),
                               [&](const Player& player) { return player.owner == chosen.owner; });
    if (before != players.end() && plays(*before)) return;
    auto playing = std::find_if(players.begin(), players.end(), plays);
    if (playing != players.end())
        chosen = *playing;
    else if (before == players.end())
        chosen = players.empty() ? Player{} : players.front();
}

PlayerTracks DesktopPlayer::Bus::readTracks() {
    PlayerTracks read;
    read.player = chosen.name;
    Variant metadata = property(chosen.owner, playerInterface, "Metadata");
    TrackInfo playing = trackFrom(metadata.get());
    trackIds.clear();
    // VLC 3 offers a track list while it says it has none, so the list itself decides.
    Variant ids = property(chosen.owner, trackListInterface, "Tracks");
    Variant list = ids && g_variant_is_of_type(ids.get(), G_VARIANT_TYPE("ao"))
                       ? call(chosen.owner, trackListInterface, "GetTracksMetadata",
                              g_variant_new("(@ao)", ids.get()), "(aa{sv})")
                       : nullptr;
    GVariantIter* iterator = nullptr;
    GVariant* entry = nullptr;
    if (list) g_variant_get(list.get(), "(aa{sv})", &iterator);
    while (iterator && (entry = g_variant_iter_next_value(iterator))) {
        TrackInfo track = trackFrom(entry);
        g_variant_unref(entry);
        if (track.id == playing.id) read.current = int(read.titles.size());
        trackIds.push_back(track.id);
        read.titles.push_back(trackTitle(track));
    }
    if (iterator) g_variant_iter_free(iterator);
    if (read.titles.empty() && !trackTitle(playing).empty()) {
        read.titles = {trackTitle(playing)};
        read.current = 0;
    }
    return read;
}

void DesktopPlayer::Bus::carryOutPicks() {
    std::vector<int> picked;
    {
        std::lock_guard<std::mutex> lock(mutex);
        picked.swap(picks);
    }
    for (int index : picked) {
        if (chosen.owner.empty()) continue;
        if (index >= 0 && size_t(index) < trackIds.size() &&
            g_variant_is_object_path(trackIds[index].c_str()))
            call(chosen.owner, trackListInterface, "GoTo",
                 g_variant_new("(o)", trackIds[index].c_str()), nullptr);
        else if (trackIds.empty())
            call(chosen.owner, playerInterface, "Play", nullptr, nullptr);
    }
}
