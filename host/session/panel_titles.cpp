#include "session/panel_titles.h"

namespace {
int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The last segment of a URL's path, %XX escapes decoded.
std::string fileNameOf(const std::string& url) {
    std::string name = url.substr(url.find_last_of('/') + 1);
    std::string decoded;
    for (size_t i = 0; i < name.size(); ++i) {
        int high = i + 2 < name.size() ? hexValue(name[i + 1]) : -1;
        int low = i + 2 < name.size() ? hexValue(name[i + 2]) : -1;
        if (name[i] == '%' && high >= 0 && low >= 0) {
            decoded += char(high * 16 + low);
            i += 2;
        } else {
            decoded += name[i];
        }
    }
    return decoded;
}
} // namespace

std::string panelTitle(const std::string& utf8) {
    std::string title;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = utf8[i];
        if (c == '\\') {
            title += '/';
        } else if (c < 0x80) {
            title += char(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
                   (utf8[i + 1] & 0xC0) == 0x80) {
            title += char(((c & 0x03) << 6) | (utf8[++i] & 0x3F));
        } else if ((c & 0xC0) != 0x80) {
            title += '?';
        }
    }
    return title;
}

std::string trackTitle(const TrackInfo& track) {
    std::string title = track.title.empty() ? fileNameOf(track.url) : track.title;
    std::string artists;
    for (const std::string& artist : track.artists) {
        if (artist.empty()) continue;
        artists += (artists.empty() ? "" : ", ") + artist;
    }
    if (title.empty() || artists.empty()) return title;
    return artists + " - " + title;
}
